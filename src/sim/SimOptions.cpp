#include "sim/SimOptions.h"

#include "toollink/ToolFilter.h"

#include <QStringList>

namespace {

// Hexadecimal with an optional 0x prefix or h suffix: "44", "0x44", "44h".
bool ParseHex(QString text, quint64 max, quint64& value)
{
    text = text.trimmed();
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        text = text.mid(2);
    else if (text.endsWith(QLatin1Char('h'), Qt::CaseInsensitive))
        text.chop(1);
    bool ok = false;
    value = text.toULongLong(&ok, 16);
    return ok && !text.isEmpty() && value <= max;
}

bool ParseDecimal(const QString& text, quint64 min, quint64 max, quint64& value)
{
    bool ok = false;
    const QString t = text.trimmed();
    value = t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? t.mid(2).toULongLong(&ok, 16)
                                                                    : t.toULongLong(&ok, 10);
    return ok && value >= min && value <= max;
}

// "N": every Nth report; "P%" or a fraction with a point: a probability.
bool ParseRate(const QString& text, SimFaultRate& rate)
{
    QString t = text.trimmed();
    bool ok = false;
    rate = SimFaultRate{};
    if (t.endsWith(QLatin1Char('%'))) {
        t.chop(1);
        const double percent = t.toDouble(&ok);
        rate.probability = percent / 100.0;
        return ok && percent > 0.0 && percent <= 100.0;
    }
    if (t.contains(QLatin1Char('.'))) {
        rate.probability = t.toDouble(&ok);
        return ok && rate.probability > 0.0 && rate.probability <= 1.0;
    }
    rate.everyNth = t.toInt(&ok);
    return ok && rate.everyNth >= 1;
}

bool ParseModel(const QString& text, uint16_t& productId)
{
    const QString t = text.trimmed().toUpper();
    if (t == QLatin1String("KC60"))
        productId = ToolFilter::KC60;
    else if (t == QLatin1String("KC60A"))
        productId = ToolFilter::KC60A;
    else if (t == QLatin1String("KD30"))
        productId = ToolFilter::KD30;
    else if (t == QLatin1String("KC70"))
        productId = ToolFilter::KC70;
    else
        return false;
    return true;
}

} // namespace

bool ParseSimulatorArgument(const QString& arg, const QString& next, SimOptions& options, bool& consumedNext,
                            QString& error)
{
    consumedNext = false;
    error.clear();
    if (!arg.startsWith(QLatin1String("--sim")) && !arg.startsWith(QLatin1String("--seed")))
        return false;

    const int eq = arg.indexOf(QLatin1Char('='));
    const QString name = eq < 0 ? arg : arg.left(eq);
    const bool hasInline = eq >= 0;
    const QString inlineValue = hasInline ? arg.mid(eq + 1) : QString();

    // Options whose value is optional take it only in the --name=value form.
    if (name == QLatin1String("--simulate")) {
        options.simulate = true;
        if (hasInline) {
            const QString scenario = inlineValue.trimmed().toLower();
            if (scenario != QLatin1String("demo") && scenario != QLatin1String("idle")
                && scenario != QLatin1String("wheel")) {
                error = QStringLiteral("Unknown simulator scenario \"%1\" (demo, idle or wheel)").arg(inlineValue);
                return true;
            }
            options.scenario = scenario;
        }
        return true;
    }
    if (name == QLatin1String("--sim-unplugged")) {
        options.plugged = false;
        return true;
    }
    if (name == QLatin1String("--sim-fault-silent")) {
        quint64 n = 0;
        if (hasInline && !ParseDecimal(inlineValue, 0, 1000000000, n)) {
            error = QStringLiteral("--sim-fault-silent takes a number of commands");
            return true;
        }
        options.faults.silentAfterCommands = int(n);
        return true;
    }

    static const QStringList valued = {
        QStringLiteral("--sim-address"),      QStringLiteral("--seed"),
        QStringLiteral("--sim-rate"),         QStringLiteral("--sim-model"),
        QStringLiteral("--sim-fw-version"),   QStringLiteral("--sim-fw-build"),
        QStringLiteral("--sim-fw-release"),   QStringLiteral("--sim-serial"),
        QStringLiteral("--sim-dfu-delay"),    QStringLiteral("--sim-fault-drop"),
        QStringLiteral("--sim-fault-duplicate"), QStringLiteral("--sim-fault-reorder"),
        QStringLiteral("--sim-fault-skip-counter"), QStringLiteral("--sim-fault-error"),
        QStringLiteral("--sim-fault-stream-error"), QStringLiteral("--sim-fault-vanish"),
        QStringLiteral("--sim-fault-vanish-at")};
    if (!valued.contains(name))
        return false;

    QString value = inlineValue;
    if (!hasInline) {
        if (next.isEmpty() || next.startsWith(QLatin1String("--"))) {
            error = QStringLiteral("%1 needs a value").arg(name);
            return true;
        }
        value = next;
        consumedNext = true;
    }

    quint64 n = 0;
    auto fail = [&](const QString& what) {
        error = QStringLiteral("%1: %2 (got \"%3\")").arg(name, what, value);
        return true;
    };

    if (name == QLatin1String("--sim-address")) {
        if (value.trimmed().compare(QLatin1String("none"), Qt::CaseInsensitive) == 0) {
            options.chipAddress = -1;
            return true;
        }
        if (!ParseHex(value, 0x7F, n))
            return fail(QStringLiteral("expected a 7-bit hexadecimal address or none"));
        options.chipAddress = int(n);
    } else if (name == QLatin1String("--seed")) {
        if (!ParseDecimal(value, 0, ~quint64(0), n))
            return fail(QStringLiteral("expected a number"));
        options.seed = n;
    } else if (name == QLatin1String("--sim-rate")) {
        if (!ParseDecimal(value, 1, SimMaxSampleRateHz, n))
            return fail(QStringLiteral("expected a sample rate from 1 to %1 Hz").arg(SimMaxSampleRateHz));
        options.sampleRateHz = int(n);
    } else if (name == QLatin1String("--sim-model")) {
        if (!ParseModel(value, options.productId))
            return fail(QStringLiteral("expected KC60, KC60A, KD30 or KC70"));
    } else if (name == QLatin1String("--sim-fw-version")) {
        if (!ParseHex(value, 0xFFFFFFFF, n))
            return fail(QStringLiteral("expected a hexadecimal version such as 0106"));
        options.firmwareVersion = uint32_t(n);
    } else if (name == QLatin1String("--sim-fw-build")) {
        if (!ParseDecimal(value, 0, 255, n))
            return fail(QStringLiteral("expected a build number from 0 to 255"));
        options.firmwareBuild = uint8_t(n);
    } else if (name == QLatin1String("--sim-fw-release")) {
        if (!ParseHex(value, 0xFF, n))
            return fail(QStringLiteral("expected a hexadecimal release byte such as 0C"));
        options.firmwareRelease = uint8_t(n);
    } else if (name == QLatin1String("--sim-serial")) {
        options.serialNumber = value;
    } else if (name == QLatin1String("--sim-dfu-delay")) {
        if (!ParseDecimal(value, 0, 600000, n))
            return fail(QStringLiteral("expected milliseconds"));
        options.dfuDelayMs = int(n);
    } else if (name == QLatin1String("--sim-fault-drop")) {
        if (!ParseRate(value, options.faults.drop))
            return fail(QStringLiteral("expected N (every Nth report) or a probability such as 2% or 0.02"));
    } else if (name == QLatin1String("--sim-fault-duplicate")) {
        if (!ParseRate(value, options.faults.duplicate))
            return fail(QStringLiteral("expected N (every Nth report) or a probability such as 2% or 0.02"));
    } else if (name == QLatin1String("--sim-fault-reorder")) {
        if (!ParseRate(value, options.faults.reorder))
            return fail(QStringLiteral("expected N (every Nth report) or a probability such as 2% or 0.02"));
    } else if (name == QLatin1String("--sim-fault-skip-counter")) {
        if (!ParseRate(value, options.faults.skipCounter))
            return fail(QStringLiteral("expected N (every Nth frame) or a probability such as 2% or 0.02"));
    } else if (name == QLatin1String("--sim-fault-error")) {
        const QStringList parts = value.split(QLatin1Char(':'));
        quint64 command = 0, code = 0, times = 0;
        if (parts.size() < 2 || parts.size() > 3 || !ParseHex(parts[0], 0xFF, command)
            || !ParseHex(parts[1], 0xFFFF, code) || code == 0
            || (parts.size() == 3 && !ParseDecimal(parts[2], 1, 1000000000, times)))
            return fail(QStringLiteral("expected COMMAND:CODE[:TIMES], hexadecimal command and code"));
        options.faults.errors.append(
            SimErrorFault{uint8_t(command), uint16_t(code), parts.size() == 3 ? int(times) : -1});
    } else if (name == QLatin1String("--sim-fault-stream-error")) {
        const QStringList parts = value.split(QLatin1Char(':'));
        quint64 code = 0, every = 0;
        if (parts.size() != 2 || !ParseHex(parts[0], 0xFFFF, code) || code == 0
            || !ParseDecimal(parts[1], 1, 1000000000, every))
            return fail(QStringLiteral("expected CODE:N, a hexadecimal code and every how many frames"));
        options.faults.streamError = SimStreamErrorFault{uint16_t(code), int(every)};
    } else if (name == QLatin1String("--sim-fault-vanish")) {
        if (!ParseDecimal(value, 0, 86400000, n))
            return fail(QStringLiteral("expected milliseconds"));
        options.faults.vanishAfterMs = int(n);
    } else if (name == QLatin1String("--sim-fault-vanish-at")) {
        if (!ParseDecimal(value, 1, 1000000000, n))
            return fail(QStringLiteral("expected a command number from 1 on"));
        options.faults.vanishAtCommand = int(n);
    }
    return true;
}

QString SimulatorOptionsHelp()
{
    return QStringLiteral(
        "Simulator (a configuration tool with a KT610B, in-process):\n"
        "  --simulate[=SCENARIO]        use the simulator; SCENARIO: demo (default), idle, wheel\n"
        "  --sim-address HEX|none       the chip's I2C address (default 44), or no chip on the bus\n"
        "  --seed N                     noise and fault seed (default: from the clock)\n"
        "  --sim-rate HZ                samples per second, 1 to 20000 (default 100)\n"
        "  --sim-unplugged              start with the tool not plugged in\n"
        "  --sim-model MODEL            KC60 (default), KC60A, KD30 or KC70\n"
        "  --sim-fw-version HEX         firmware version (default 0106)\n"
        "  --sim-fw-build N             firmware build (default 19)\n"
        "  --sim-fw-release HEX         firmware release byte (default 0C)\n"
        "  --sim-serial TEXT            serial number (default KC60-SIM-0001)\n"
        "  --sim-dfu-delay MS           time the tool is away after EnterDFU (default 3000)\n"
        "Faults (all off by default; RATE is N for every Nth, or a probability such as 2% or 0.02):\n"
        "  --sim-fault-drop RATE        stream reports lost\n"
        "  --sim-fault-duplicate RATE   stream reports sent twice\n"
        "  --sim-fault-reorder RATE     a stream report swapped with the next one\n"
        "  --sim-fault-skip-counter RATE  a frame counter value skipped\n"
        "  --sim-fault-error CMD:CODE[:TIMES]  answer command CMD with error CODE (hexadecimal),\n"
        "                               every time or the next TIMES times; may be repeated\n"
        "  --sim-fault-stream-error CODE:N  send error report CODE every N stream frames\n"
        "  --sim-fault-silent[=N]       the tool hangs (no replies, no stream) after N commands (default 0)\n"
        "  --sim-fault-vanish MS        the tool is pulled out MS milliseconds after it is plugged in\n"
        "  --sim-fault-vanish-at N      the tool is pulled out when its Nth command arrives\n");
}
