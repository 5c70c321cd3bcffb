// The "minver.ini" reader on arbitrary files, through the start-up check of the update program's folder,
// and the firmware verdict judged from what it read.

#include "fuzz/FuzzSupport.h"

#include "persist/MinVer.h"

#include <QDir>
#include <QFileInfo>
#include <array>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::App();
    static const QString path = Fuzz::TempPath(QStringLiteral("minver.ini"));
    static const QString folder = QFileInfo(path).absolutePath();
    static const bool program = [] {
        const uint8_t none = 0;
        Fuzz::WriteFile(QDir(folder).filePath(QStringLiteral("Korvane Reflash")), &none, 0);
        return true;
    }();
    (void)program;
    Fuzz::WriteFile(path, data, size);

    const TUpdaterCheck check = CheckMinimumVersions(folder);
    FUZZ_CHECK(check.FUpdaterInstalled);
    const TMinVer& m = check.MinVer;
    const TMinVer direct = ReadMinVer(path);
    const std::array<uint32_t, 8> a{m.KC50, m.KD30, m.KR30, m.KC70, m.KC60, m.KC60N, m.KC60A, m.KD30N};
    const std::array<uint32_t, 8> b{direct.KC50, direct.KD30, direct.KR30, direct.KC70,
                                    direct.KC60, direct.KC60N, direct.KC60A, direct.KD30N};
    FUZZ_CHECK(a == b);

    for (uint16_t product : {0x0C60, 0x0C6A, 0x0D30, 0x0C70}) {
        const TFirmwareVerdict verdict = JudgeFirmware(product, 0x0106, 19, 0x0C, m);
        FUZZ_CHECK(!verdict.StatusText().isEmpty());
        if (verdict.Status == TFirmStatus::fsOutdated)
            FUZZ_CHECK(verdict.UpdateEnabled);
    }
    return 0;
}
