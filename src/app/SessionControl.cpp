#include "app/SessionControl.h"

TSessionControl::TSessionControl(TMainCore& core) : FCore(core) {}
