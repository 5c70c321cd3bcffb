#include "cli/BoundedBackend.h"

#include <algorithm>

namespace {

class TBoundedHandle : public HidHandle {
public:
    TBoundedHandle(std::unique_ptr<HidHandle> inner, std::shared_ptr<TReplyWaits> waits)
        : FInner(std::move(inner)), FWaits(std::move(waits))
    {
    }

    bool write(const uint8_t* report, int length) override { return FInner->write(report, length); }

    int read(uint8_t* buffer, int capacity, int timeoutMs) override
    {
        const int bounded = FWaits->Bound(timeoutMs);
        const int result = FInner->read(buffer, capacity, bounded);
        FWaits->Observe(bounded, result);
        return result;
    }

    void cancel() override { FInner->cancel(); }

private:
    std::unique_ptr<HidHandle> FInner;
    std::shared_ptr<TReplyWaits> FWaits;
};

} // namespace

TReplyWaits::TReplyWaits() : FThread(std::this_thread::get_id()) {}

void TReplyWaits::SetDeadline(int ms)
{
    FDeadline = (Clock::now() + std::chrono::milliseconds(ms)).time_since_epoch().count();
}

void TReplyWaits::ClearDeadline()
{
    FDeadline = 0;
}

bool TReplyWaits::Expired() const
{
    const Clock::rep deadline = FDeadline.load();
    return deadline != 0 && Clock::now().time_since_epoch().count() >= deadline;
}

int TReplyWaits::Bound(int timeoutMs) const
{
    if (timeoutMs <= 0 || !OnTransactionThread())
        return timeoutMs;
    int bounded = timeoutMs;
    if (FSilent)
        bounded = std::min(bounded, SilentWaitMs);
    if (const Clock::rep deadline = FDeadline.load()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              Clock::duration(deadline - Clock::now().time_since_epoch().count()))
                              .count();
        bounded = std::min<qint64>(bounded, std::max<qint64>(left, GraceMs));
    }
    return bounded;
}

void TReplyWaits::Observe(int timeoutMs, int result)
{
    if (timeoutMs <= 0 || !OnTransactionThread())
        return;
    if (result == 0)
        FSilent = true;
    else if (result > 0)
        FSilent = false;
}

TBoundedBackend::TBoundedBackend(std::shared_ptr<HidBackend> inner, std::shared_ptr<TReplyWaits> waits)
    : FInner(std::move(inner)), FWaits(std::move(waits))
{
    connect(FInner.get(), &HidBackend::devicesChanged, this, &HidBackend::devicesChanged);
}

QList<HidDeviceInfo> TBoundedBackend::enumerate()
{
    return FInner->enumerate();
}

std::unique_ptr<HidHandle> TBoundedBackend::open(const QString& path)
{
    std::unique_ptr<HidHandle> handle = FInner->open(path);
    if (!handle)
        return nullptr;
    return std::make_unique<TBoundedHandle>(std::move(handle), FWaits);
}
