// The frame handler over every stream set-up, with the settings the touch thresholds are computed from.
//
// Input: byte 0 = stream set-up bits 0..4, bit 5 relative coordinates, bit 6 event logging, bit 7 actual
// base read; byte 1 = shown tool ID (low nibble), active channels (high nibble); bytes 2..18 = the
// decoder's settings controls as a user or a settings file sets them; bytes 19..26 = actual base of
// channels 0..3 (16-bit little-endian); then records [n][n bytes], each a frame as the tool list hands it.

#include "fuzz/FuzzSupport.h"

#include "app/FrameDecoder.h"
#include "app/MainCore.h"
#include "hid/VirtualHidBackend.h"

#include <algorithm>
#include <memory>

namespace {

constexpr int HeaderBytes = 27;

const char* const SettingsControls[] = {"Sens1Combo", "Sens2Combo", "Sens3Combo", "Comp1Combo", "Comp2Combo",
                                        "Comp3Combo", "CH1BaseCombo", "CH2BaseCombo", "CH3BaseCombo",
                                        "Comp1Spin", "Comp2Spin", "Comp3Spin", "Touch1Spin", "Touch2Spin",
                                        "Touch3Spin", "SliderRadio", "IgnoreFHRadioGroup"};
static_assert(std::size(SettingsControls) == 17);

struct ToolView : IMainView {
    int ToolID = 0;
    int Percent = 0;
    int ShownToolID() const override { return ToolID; }
    void WheelPosition(int percent) override { Percent = percent; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < HeaderBytes)
        return 0;
    Fuzz::App();
    static ToolView view;
    static TMainCore core(std::make_shared<VirtualHidBackend>(), nullptr, &view);
    // A new core per input is slow: the state the frames build up is put back instead.
    core.FATIBusy = core.FWasATIBusy = core.FLP = core.FLPEvent = false;
    core.FForceSleep = core.FWasForceSleep = false;
    core.FForceSleepCount = core.FProxEventValue = core.FTouchEventValue = 0;
    core.FProjected = false;
    core.FCurrentChs = core.FLTAChs = core.FDeltaChs = core.FCalcTouchTH = {};
    core.FWheelPercent = view.Percent = 0;

    core.StreamSetup.SetStreamingSetup(data[0] & 0x1F);
    core.StreamSetup.SetupStreaming();
    core.RelativeCheck = data[0] & 0x20;
    core.FLogEvents = data[0] & 0x40;
    core.FActualBaseRead = data[0] & 0x80;
    view.ToolID = data[1] & 0x0F;
    for (int c = 0; c < 4; ++c)
        core.CHCheck[size_t(c)] = (data[1] >> (4 + c)) & 1;
    for (size_t i = 0; i < std::size(SettingsControls); ++i)
        core.Settings.SetValue(QString::fromLatin1(SettingsControls[i]), data[2 + i]);
    core.Settings.UpdateGlobalVariables();
    for (int c = 0; c < 4; ++c)
        core.FActualBase[size_t(c)] = data[19 + 2 * c] | data[20 + 2 * c] << 8;

    const TStreamSetup& setup = core.StreamSetup;
    FUZZ_CHECK(setup.FStreamLength >= 2 && setup.FStreamLength <= 35);
    size_t at = HeaderBytes;
    while (at < size) {
        const size_t wanted = data[at++];
        const size_t n = std::min(wanted, size - at);
        // An exact copy: reading past the frame is caught.
        std::unique_ptr<uint8_t[]> frame(new uint8_t[std::max<size_t>(n, 1)]);
        std::copy(data + at, data + at + n, frame.get());
        at += n;
        const uint64_t before = core.FFramesDecoded;
        core.Decoder->KT880Device1Streaming(uint16_t(n), n > 0 ? frame[0] >> 4 : 0, n > 0 ? frame.get() : nullptr);
        if (core.FFramesDecoded == before)
            continue;
        FUZZ_CHECK(int(n) >= 3 + setup.FStreamLength);
        FUZZ_CHECK(core.FWheelPercent >= 0 && core.FWheelPercent <= 100);
        FUZZ_CHECK(view.Percent >= 0 && view.Percent <= 100);
        FUZZ_CHECK(core.FWheelData2 >= -32768 && core.FWheelData2 <= 65535);
        for (int c = 0; c < 4; ++c) {
            FUZZ_CHECK(core.FCurrentChs[size_t(c)] >= 0 && core.FCurrentChs[size_t(c)] <= 0xFFFF);
            FUZZ_CHECK(core.FLTAChs[size_t(c)] >= 0 && core.FLTAChs[size_t(c)] <= 0xFFFF);
            FUZZ_CHECK(core.FDeltaChs[size_t(c)] >= -0xFFFF && core.FDeltaChs[size_t(c)] <= 0xFFFF);
        }
    }
    return 0;
}
