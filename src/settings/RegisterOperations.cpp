#include "settings/RegisterOperations.h"

TRegisterOperations::TRegisterOperations(TMainCore& core) : FCore(core) {}
