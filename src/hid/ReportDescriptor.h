#pragma once
// Report lengths from a HID report descriptor, counted the Windows way: the longest Input (or Output)
// report's bytes plus one for the report ID byte, also when the device numbers no reports.

#include <cstdint>

struct TReportLengths {
    int inputReportLength = 65;
    int outputReportLength = 65;
    bool usesReportIds = false;
    bool parsed = false; // false: the descriptor could not be read, the lengths are the fallback
};

// Never fails: any malformed descriptor gives the fallback of 65 bytes each way, without report IDs.
TReportLengths ParseReportDescriptor(const uint8_t* data, int size);
