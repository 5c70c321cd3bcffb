#include "app/FrameDecoder.h"

TFrameDecoder::TFrameDecoder(TMainCore& core) : FCore(core) {}
