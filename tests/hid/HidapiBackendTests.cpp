// The real backend on whatever this machine has plugged in (often nothing): it must never fail hard.
#include "HidTestSupport.h"
#include "hid/HidapiBackend.h"

#include <gtest/gtest.h>

namespace {

TEST(HidapiBackend, EnumeratesEachNodeOnceWithItsReportLengths)
{
    HidapiBackend backend;
    const QList<HidDeviceInfo> devices = backend.enumerate();
    QList<QString> paths;
    for (const HidDeviceInfo& info : devices) {
        EXPECT_FALSE(paths.contains(info.path)) << qPrintable(info.path);
        paths.append(info.path);
        EXPECT_GE(info.inputReportLength, 0);
        EXPECT_GE(info.outputReportLength, 0);
    }
    EXPECT_EQ(backend.open(QStringLiteral("/dev/hidraw-none")), nullptr);
}

TEST(HidapiBackend, LayerOverRealHardwareReportsTheStartUpScan)
{
    THidLayer layer(std::make_shared<HidapiBackend>());
    int changes = 0;
    layer.OnDeviceChange = [&] { ++changes; };
    layer.StartScan();
    ASSERT_TRUE(WaitFor([&] { return changes == 1; }));
    Pump(50);
    EXPECT_EQ(changes, 1);
}

} // namespace
