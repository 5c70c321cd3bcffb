#include "hid/ReportDescriptor.h"

#include <array>
#include <vector>

namespace {

// Item types and tags of the short items that matter for report sizes.
constexpr int TypeMain = 0;
constexpr int TypeGlobal = 1;
constexpr int MainInput = 8;
constexpr int MainOutput = 9;
constexpr int GlobalReportSize = 7;
constexpr int GlobalReportId = 8;
constexpr int GlobalReportCount = 9;
constexpr int GlobalPush = 10;
constexpr int GlobalPop = 11;
constexpr uint8_t LongItemPrefix = 0xFE;

constexpr int MaxPushDepth = 32;
// No report can exceed this; larger sums mean a broken descriptor (and keep the products from overflowing).
constexpr uint64_t MaxReportBits = 8ull * 32768;

struct TGlobals {
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint32_t reportId = 0;
};

uint32_t ItemValue(const uint8_t* data, int size)
{
    uint32_t value = 0;
    for (int i = 0; i < size; ++i)
        value |= uint32_t(data[i]) << (8 * i);
    return value;
}

int BytesOf(const std::array<uint64_t, 256>& bits)
{
    uint64_t largest = 0;
    for (uint64_t b : bits)
        largest = b > largest ? b : largest;
    return largest == 0 ? 0 : int((largest + 7) / 8) + 1;
}

} // namespace

TReportLengths ParseReportDescriptor(const uint8_t* data, int size)
{
    const TReportLengths fallback;
    if (!data || size <= 0)
        return fallback;

    std::array<uint64_t, 256> inputBits{};
    std::array<uint64_t, 256> outputBits{};
    TGlobals globals;
    std::vector<TGlobals> stack;
    bool usesReportIds = false;

    int pos = 0;
    while (pos < size) {
        const uint8_t prefix = data[pos];
        if (prefix == LongItemPrefix) {
            // Long item: prefix, data size, tag, data. Nothing in it affects report sizes.
            if (pos + 2 >= size)
                return fallback;
            const int dataSize = data[pos + 1];
            pos += 3 + dataSize;
            if (pos > size)
                return fallback;
            continue;
        }
        const int itemSize = (prefix & 0x03) == 3 ? 4 : (prefix & 0x03);
        const int type = (prefix >> 2) & 0x03;
        const int tag = prefix >> 4;
        if (pos + 1 + itemSize > size)
            return fallback;
        const uint32_t value = ItemValue(data + pos + 1, itemSize);
        pos += 1 + itemSize;

        if (type == TypeGlobal) {
            switch (tag) {
            case GlobalReportSize: globals.reportSize = value; break;
            case GlobalReportCount: globals.reportCount = value; break;
            case GlobalReportId:
                if (value == 0 || value > 255)
                    return fallback;
                globals.reportId = value;
                usesReportIds = true;
                break;
            case GlobalPush:
                if (stack.size() >= MaxPushDepth)
                    return fallback;
                stack.push_back(globals);
                break;
            case GlobalPop:
                if (stack.empty())
                    return fallback;
                globals = stack.back();
                stack.pop_back();
                break;
            default: break;
            }
        } else if (type == TypeMain && (tag == MainInput || tag == MainOutput)) {
            const uint64_t itemBits = uint64_t(globals.reportSize) * globals.reportCount;
            auto& bits = tag == MainInput ? inputBits : outputBits;
            if (itemBits > MaxReportBits || bits[globals.reportId] + itemBits > MaxReportBits)
                return fallback;
            bits[globals.reportId] += itemBits;
        }
    }

    // In a numbered descriptor, main items before the first Report ID belong to no report a device can send.
    if (usesReportIds) {
        inputBits[0] = 0;
        outputBits[0] = 0;
    }

    TReportLengths lengths;
    lengths.inputReportLength = BytesOf(inputBits);
    lengths.outputReportLength = BytesOf(outputBits);
    lengths.usesReportIds = usesReportIds;
    lengths.parsed = true;
    return lengths;
}
