#pragma once
// Bounds the reply waits of the tool transactions, between the HID layer and the real backend:
//  - a command phase has a deadline; no reply wait runs past it (by more than a short grace);
//  - once a reply wait has expired without any report (a silent tool), the following waits are short until
//    the tool sends again, so that the teardown after a failure does not wait the full time per command.
// Only reads with a wait on the user-interface thread are bounded: those are the transactions. The readers
// of the HID layer and the flush reads go through untouched.

#include "hid/HidBackend.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

class TReplyWaits {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr int SilentWaitMs = 100; // after a wait expired, until the tool sends again
    static constexpr int GraceMs = 20;       // past the deadline: a last chance for a reply already on its way

    // The thread that creates it runs the transactions.
    TReplyWaits();

    void SetDeadline(int ms);
    void ClearDeadline();
    bool Expired() const;
    bool Silent() const { return FSilent.load(); }

    // The wait a transaction read may take, and what came of it.
    int Bound(int timeoutMs) const;
    void Observe(int timeoutMs, int result);
    bool OnTransactionThread() const { return std::this_thread::get_id() == FThread; }

private:
    std::thread::id FThread;
    std::atomic<bool> FSilent{false};
    std::atomic<Clock::rep> FDeadline{0}; // 0: none
};

class TBoundedBackend : public HidBackend {
    Q_OBJECT
public:
    TBoundedBackend(std::shared_ptr<HidBackend> inner, std::shared_ptr<TReplyWaits> waits);

    QList<HidDeviceInfo> enumerate() override;
    std::unique_ptr<HidHandle> open(const QString& path) override;

private:
    std::shared_ptr<HidBackend> FInner;
    std::shared_ptr<TReplyWaits> FWaits;
};
