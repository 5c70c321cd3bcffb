#pragma once
// A host at the report level: builds command reports by hand and reads the simulated tool's input reports
// through the virtual HID backend, with none of the program's tool link in between.

#include "sim/Simulator.h"

#include <QByteArray>
#include <QList>
#include <algorithm>
#include <initializer_list>
#include <memory>
#include <tuple>
#include <vector>

class SimWire {
public:
    explicit SimWire(TSimulator& sim)
    {
        const auto devices = sim.Backend()->enumerate();
        if (!devices.isEmpty())
            FHandle = sim.Backend()->open(devices.first().path);
    }

    bool IsOpen() const { return FHandle != nullptr; }

    // Sends one command; returns the reply with this message ID, or an empty array when none came.
    // Stream and event reports read meanwhile are kept for Stream().
    QByteArray Command(uint8_t code, uint8_t count, std::initializer_list<uint8_t> payload = {}, int waitMs = 200)
    {
        if (!FHandle)
            return {};
        FMessageId = FMessageId >= 254 ? 1 : FMessageId + 1;
        uint8_t report[65] = {};
        report[1] = FMessageId;
        report[2] = code;
        report[3] = count;
        int i = 4;
        for (uint8_t b : payload)
            report[i++] = b;
        if (!FHandle->write(report, 65))
            return {};
        for (int n = 0; n < 10000; ++n) {
            uint8_t in[65] = {};
            const int got = FHandle->read(in, 65, waitMs);
            if (got <= 0)
                return {};
            QByteArray r(reinterpret_cast<const char*>(in), got);
            const uint8_t type = in[1] & 0x0F;
            if (type == 0xF || type == 0xB || (type == 0xE && in[2] == 0)) {
                FStream.append(r);
                continue;
            }
            if (in[2] == FMessageId)
                return r;
        }
        return {};
    }

    // 0 for a normal reply, the error code for an error reply, 3 when nothing came.
    static uint16_t Result(const QByteArray& reply)
    {
        if (reply.size() < 6)
            return 3;
        if ((uint8_t(reply[1]) & 0x0F) == 0xE)
            return uint16_t(uint8_t(reply[4]) << 8 | uint8_t(reply[5]));
        return 0;
    }

    uint16_t Run(uint8_t code, uint8_t count, std::initializer_list<uint8_t> payload = {})
    {
        return Result(Command(code, count, payload));
    }

    // Reply bytes from byte 4 on.
    static QByteArray Data(const QByteArray& reply, int n) { return reply.mid(4, n); }

    // Every unasked report received so far (stream, event, streaming error), oldest first.
    QList<QByteArray> Stream(int waitMs = 0)
    {
        if (FHandle) {
            uint8_t in[65];
            int got;
            while ((got = FHandle->read(in, 65, waitMs)) > 0) {
                FStream.append(QByteArray(reinterpret_cast<const char*>(in), got));
                waitMs = 0;
            }
        }
        QList<QByteArray> out;
        out.swap(FStream);
        return out;
    }

    // The tool set up the way the program does it, powered, with the chip at `address`.
    uint16_t SetUp(uint8_t address = 0x44)
    {
        for (auto [code, count, payload] : std::initializer_list<std::tuple<uint8_t, uint8_t, std::vector<uint8_t>>>{
                 {0x01, 2, {0x00, 0x03}}, {0x07, 1, {0x01}}, {0x06, 1, {0x02}}, {0x05, 2, {0x04, 0x01}},
                 {0x0F, 6, {0x03, 0x02, address, 0x03, 0x02, 0x01}}}) {
            uint8_t p[8] = {};
            std::copy(payload.begin(), payload.end(), p);
            const uint16_t r = Run(code, count, {p[0], p[1], p[2], p[3], p[4], p[5]});
            if (r)
                return r;
        }
        return 0;
    }

    uint16_t PowerOn()
    {
        uint16_t r = Run(0x11, 2, {2, 1});
        if (!r)
            r = Run(0x02, 0);
        if (!r)
            r = Run(0x11, 2, {2, 2});
        return r;
    }

    QByteArray ReadRegister(uint8_t address, uint8_t count)
    {
        const QByteArray reply = Command(0x12, 1, {address, count});
        return Result(reply) ? QByteArray() : Data(reply, count);
    }

    uint16_t WriteRegister(uint8_t address, std::initializer_list<uint8_t> bytes)
    {
        uint8_t p[40] = {address};
        int n = 1;
        for (uint8_t b : bytes)
            p[n++] = b;
        return Result(CommandBytes(0x0B, uint8_t(n), p, n));
    }

    QByteArray CommandBytes(uint8_t code, uint8_t count, const uint8_t* payload, int n)
    {
        FMessageId = FMessageId >= 254 ? 1 : FMessageId + 1;
        uint8_t report[65] = {};
        report[1] = FMessageId;
        report[2] = code;
        report[3] = count;
        std::copy(payload, payload + std::min(n, 61), report + 4);
        if (!FHandle || !FHandle->write(report, 65))
            return {};
        for (int k = 0; k < 10000; ++k) {
            uint8_t in[65] = {};
            const int got = FHandle->read(in, 65, 200);
            if (got <= 0)
                return {};
            QByteArray r(reinterpret_cast<const char*>(in), got);
            const uint8_t type = in[1] & 0x0F;
            if (type == 0xF || type == 0xB || (type == 0xE && in[2] == 0)) {
                FStream.append(r);
                continue;
            }
            if (in[2] == FMessageId)
                return r;
        }
        return {};
    }

    // Indirect memory through 0xFC / 0xFD, as the program reads it.
    int ReadMemory(uint8_t address)
    {
        if (WriteRegister(0xFC, {address}) || WriteRegister(0xFD, {}))
            return -1;
        const QByteArray reply = Command(0x0A, 1, {1});
        return Result(reply) ? -1 : uint8_t(reply[4]);
    }

    // Sends the stream length and map, in pieces of 32 whose count byte is the piece index.
    uint16_t StartStream(const QByteArray& map)
    {
        const int n = int(map.size());
        uint16_t r = Run(0x14, 2, {uint8_t(n >> 8), uint8_t(n & 0xFF)});
        for (int piece = 0; !r && piece * 32 < n; ++piece) {
            const QByteArray chunk = map.mid(piece * 32, 32);
            r = Result(CommandBytes(0x15, uint8_t(piece), reinterpret_cast<const uint8_t*>(chunk.constData()),
                                    int(chunk.size())));
        }
        return r;
    }

    uint8_t FMessageId = 1;

private:
    std::unique_ptr<HidHandle> FHandle;
    QList<QByteArray> FStream;
};

// The map the program builds with its default boxes: flags, coordinates, prox and touch, counts, averages.
inline QByteArray DefaultStreamMap()
{
    QByteArray map(27, '\0');
    map[0] = 0x01;
    map[2] = 0x02;
    map[5] = 0x03;
    map[7] = 0x04;
    map[17] = 0x05;
    return map;
}

inline SimOptions ManualOptions(quint64 seed = 1234)
{
    SimOptions o;
    o.seed = seed;
    o.manualClock = true;
    o.scenario = QStringLiteral("idle");
    return o;
}

inline int Word(const QByteArray& bytes, int offset)
{
    return uint8_t(bytes[offset]) | uint8_t(bytes[offset + 1]) << 8;
}
