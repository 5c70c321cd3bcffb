#pragma once
// Real hardware: hidapi on the hidraw driver for reports, libudev for attach and detach.

#include "hid/HidBackend.h"

class QSocketNotifier;
struct udev;
struct udev_monitor;

class HidapiBackend : public HidBackend {
    Q_OBJECT
public:
    explicit HidapiBackend(QObject* parent = nullptr);
    ~HidapiBackend() override;

    QList<HidDeviceInfo> enumerate() override;
    std::unique_ptr<HidHandle> open(const QString& path) override;

private:
    void MonitorReadable();
    udev* FUdev = nullptr;
    udev_monitor* FMonitor = nullptr;
    QSocketNotifier* FNotifier = nullptr;
};
