#pragma once
// A tool as the HID backend sees it: its output reports go to a sink (the simulated or replayed tool) for as
// long as that exists. The host may hold the device after the sink is gone; from then on it answers nothing.

#include "hid/VirtualHidBackend.h"

#include <QByteArray>
#include <functional>
#include <mutex>

class TSinkToolDevice : public VirtualHidDevice {
public:
    using Sink = std::function<void(const QByteArray&)>;
    TSinkToolDevice(const HidDeviceInfo& info, Sink sink) : VirtualHidDevice(info), FSink(std::move(sink)) {}

    void OutputReport(const QByteArray& report) override
    {
        std::lock_guard lock(FSinkMutex);
        if (FSink)
            FSink(report);
    }

    void Disconnect()
    {
        std::lock_guard lock(FSinkMutex);
        FSink = nullptr;
    }

private:
    std::mutex FSinkMutex;
    Sink FSink;
};
