#include "hid/HidapiBackend.h"

#include "hid/ReportDescriptor.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <hidapi/hidapi.h>
#include <libudev.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <vector>

namespace {

// hidapi cannot interrupt a waiting read, so long waits are cut into slices of this length and a cancel is
// seen between them.
constexpr int CancelCheckMs = 20;
constexpr int FallbackReportLength = 65;
// The kernel refuses descriptors above this size.
constexpr qint64 MaxDescriptorSize = 4096;
// Monitor events handled per wake-up; the notifier fires again for the rest.
constexpr int MaxEventsPerWake = 256;

bool InitHidapi()
{
    static const bool ok = hid_init() == 0;
    return ok;
}

QString FromWide(const wchar_t* text)
{
    return text ? QString::fromWCharArray(text) : QString();
}

// /dev/hidrawN -> its report descriptor, which sysfs shows to every user without opening the node.
TReportLengths ReadReportLengths(const QString& path)
{
    QFile file(QStringLiteral("/sys/class/hidraw/%1/device/report_descriptor").arg(QFileInfo(path).fileName()));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.read(MaxDescriptorSize);
    return ParseReportDescriptor(reinterpret_cast<const uint8_t*>(bytes.constData()), int(bytes.size()));
}

// Node number of /dev/hidrawN, for a stable numeric order (hidraw2 before hidraw10).
int NodeNumber(const QString& path)
{
    int i = int(path.size());
    while (i > 0 && path[i - 1].isDigit())
        --i;
    bool ok = false;
    const int number = path.mid(i).toInt(&ok);
    return ok ? number : -1;
}

class HidapiHandle : public HidHandle {
public:
    HidapiHandle(hid_device* device, const TReportLengths& lengths)
        : FDevice(device), FNumbered(lengths.usesReportIds),
          FInputLength(lengths.inputReportLength > 0 ? lengths.inputReportLength : FallbackReportLength),
          FScratch(size_t(FInputLength))
    {
    }
    ~HidapiHandle() override { hid_close(FDevice); }

    bool write(const uint8_t* report, int length) override
    {
        // Byte 0 is the report ID, 0 for an unnumbered report; hidraw takes it as it is.
        if (FCancelled || !report || length <= 0)
            return false;
        return hid_write(FDevice, report, size_t(length)) > 0;
    }

    int read(uint8_t* buffer, int capacity, int timeoutMs) override
    {
        using Clock = std::chrono::steady_clock;
        const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
        // Without report IDs hidraw returns the data alone: keep byte 0 for the ID, always 0 there.
        const int offset = FNumbered ? 0 : 1;
        for (;;) {
            if (FCancelled)
                return -1;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            const int slice = int(std::clamp<int64_t>(left.count(), 0, CancelCheckMs));
            const int n = hid_read_timeout(FDevice, FScratch.data() + offset, FScratch.size() - size_t(offset), slice);
            if (n < 0 || FCancelled)
                return -1;
            if (n > 0)
                return Deliver(buffer, capacity, n + offset);
            if (slice == 0 || Clock::now() >= deadline)
                return 0;
        }
    }

    void cancel() override { FCancelled = true; }

private:
    // Every report of the device reads with the input report length, as on Windows.
    int Deliver(uint8_t* buffer, int capacity, int length)
    {
        if (!FNumbered)
            FScratch[0] = 0;
        std::fill(FScratch.begin() + length, FScratch.end(), uint8_t(0));
        const int copied = std::min(std::max(capacity, 0), FInputLength);
        std::memcpy(buffer, FScratch.data(), size_t(copied));
        return copied;
    }

    hid_device* FDevice;
    const bool FNumbered;
    const int FInputLength;
    std::vector<uint8_t> FScratch;
    std::atomic<bool> FCancelled{false};
};

} // namespace

HidapiBackend::HidapiBackend(QObject* parent) : HidBackend(parent)
{
    InitHidapi();
    FUdev = udev_new();
    if (!FUdev)
        return;
    // Events from udev come after its rules have set the node's permissions; without udev running
    // (containers) the kernel's events are all there is.
    const char* source = QFile::exists(QStringLiteral("/run/udev/control")) ? "udev" : "kernel";
    FMonitor = udev_monitor_new_from_netlink(FUdev, source);
    if (!FMonitor)
        return;
    if (udev_monitor_filter_add_match_subsystem_devtype(FMonitor, "hidraw", nullptr) < 0
        || udev_monitor_enable_receiving(FMonitor) < 0) {
        udev_monitor_unref(FMonitor);
        FMonitor = nullptr;
        return;
    }
    FNotifier = new QSocketNotifier(udev_monitor_get_fd(FMonitor), QSocketNotifier::Read, this);
    connect(FNotifier, &QSocketNotifier::activated, this, &HidapiBackend::MonitorReadable);
}

HidapiBackend::~HidapiBackend()
{
    delete FNotifier;
    if (FMonitor)
        udev_monitor_unref(FMonitor);
    if (FUdev)
        udev_unref(FUdev);
}

QList<HidDeviceInfo> HidapiBackend::enumerate()
{
    QList<HidDeviceInfo> devices;
    if (!InitHidapi())
        return devices;
    hid_device_info* list = hid_enumerate(0, 0);
    for (const hid_device_info* d = list; d; d = d->next) {
        const QString path = QString::fromLocal8Bit(d->path);
        // hidapi lists a node once per top-level collection.
        if (std::any_of(devices.begin(), devices.end(), [&path](const HidDeviceInfo& i) { return i.path == path; }))
            continue;
        HidDeviceInfo info;
        info.path = path;
        info.vendorId = d->vendor_id;
        info.productId = d->product_id;
        info.productName = FromWide(d->product_string);
        info.serialNumber = FromWide(d->serial_number);
        const TReportLengths lengths = ReadReportLengths(path);
        info.inputReportLength = lengths.inputReportLength;
        info.outputReportLength = lengths.outputReportLength;
        devices.append(info);
    }
    hid_free_enumeration(list);
    std::stable_sort(devices.begin(), devices.end(), [](const HidDeviceInfo& a, const HidDeviceInfo& b) {
        return NodeNumber(a.path) < NodeNumber(b.path);
    });
    return devices;
}

std::unique_ptr<HidHandle> HidapiBackend::open(const QString& path)
{
    if (!InitHidapi())
        return nullptr;
    hid_device* device = hid_open_path(path.toLocal8Bit().constData());
    if (!device)
        return nullptr;
    return std::make_unique<HidapiHandle>(device, ReadReportLengths(path));
}

void HidapiBackend::MonitorReadable()
{
    for (int i = 0; i < MaxEventsPerWake; ++i) {
        udev_device* device = udev_monitor_receive_device(FMonitor);
        if (!device)
            return;
        const char* action = udev_device_get_action(device);
        const bool relevant = action && (std::strcmp(action, "add") == 0 || std::strcmp(action, "remove") == 0);
        udev_device_unref(device);
        if (relevant)
            emit devicesChanged();
    }
}
