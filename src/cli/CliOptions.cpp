#include "cli/CliOptions.h"

#include "app/StreamSetup.h"

namespace {

constexpr uint16_t DefaultStreamSetup = StreamBits::Wheel | StreamBits::PT | StreamBits::CS | StreamBits::LTA;
constexpr int MaxWriteBytes = 254; // the register address and the bytes travel in one 8-bit length

// "--name=value" or "--name value".
struct TValued {
    bool matched = false;
    QString value;
    bool missing = false;
};

TValued TakeValue(const QString& name, const QStringList& args, int& i)
{
    TValued v;
    const QString& arg = args[i];
    if (arg == name) {
        v.matched = true;
        if (i + 1 < args.size()) {
            v.value = args[++i];
        } else {
            v.missing = true;
        }
    } else if (arg.startsWith(name + QLatin1Char('='))) {
        v.matched = true;
        v.value = arg.mid(name.size() + 1);
        v.missing = v.value.isEmpty();
    }
    return v;
}

bool ParseDecimal(const QString& text, qint64 min, qint64 max, qint64& value)
{
    bool ok = false;
    value = text.toLongLong(&ok, 10);
    return ok && value >= min && value <= max;
}

// Register addresses and bytes are hexadecimal, as in the chip's register map; a 0x prefix is allowed.
bool ParseHexByte(QString text, uint8_t& value)
{
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        text = text.mid(2);
    if (text.isEmpty() || text.size() > 2)
        return false;
    bool ok = false;
    const uint v = text.toUInt(&ok, 16);
    value = uint8_t(v);
    return ok;
}

// Error codes: decimal, or hexadecimal with 0x.
bool ParseCode(const QString& text, uint16_t& code)
{
    bool ok = false;
    qulonglong v = 0;
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        v = text.mid(2).toULongLong(&ok, 16);
    else
        v = text.toULongLong(&ok, 10);
    if (!ok || v > 0xFFFF)
        return false;
    code = uint16_t(v);
    return true;
}

bool ParseSetup(const QString& list, uint16_t& setup, QString& error)
{
    setup = 0;
    for (const QString& item : list.split(QLatin1Char(','))) {
        const QString name = item.trimmed().toLower();
        if (name == QLatin1String("wheel"))
            setup |= StreamBits::Wheel;
        else if (name == QLatin1String("pt"))
            setup |= StreamBits::PT;
        else if (name == QLatin1String("cs"))
            setup |= StreamBits::CS;
        else if (name == QLatin1String("lta"))
            setup |= StreamBits::LTA;
        else if (name == QLatin1String("deltas"))
            setup |= StreamBits::Deltas;
        else {
            error = QStringLiteral("unknown stream block \"%1\" (wheel, pt, cs, lta, deltas)").arg(item);
            return false;
        }
    }
    // The deltas alone are refused, as the settings window's Apply refuses them.
    if ((setup & ~StreamBits::Deltas) == 0) {
        error = QStringLiteral("--setup needs at least one of wheel, pt, cs, lta");
        return false;
    }
    return true;
}

TCliCommand CommandNamed(const QString& name)
{
    if (name == QLatin1String("list"))
        return TCliCommand::List;
    if (name == QLatin1String("errors"))
        return TCliCommand::Errors;
    if (name == QLatin1String("version"))
        return TCliCommand::Version;
    if (name == QLatin1String("stream"))
        return TCliCommand::Stream;
    if (name == QLatin1String("read"))
        return TCliCommand::Read;
    if (name == QLatin1String("write"))
        return TCliCommand::Write;
    return TCliCommand::None;
}

QString CheckArguments(TCliOptions& o, const QString& commandName, const QStringList& positional)
{
    switch (o.Command) {
    case TCliCommand::List:
    case TCliCommand::Version:
    case TCliCommand::Stream:
        if (!positional.isEmpty())
            return QStringLiteral("%1 takes no arguments (got \"%2\")").arg(commandName, positional.first());
        return {};
    case TCliCommand::Errors:
        if (positional.isEmpty())
            return QStringLiteral("errors needs at least one CODE");
        for (const QString& text : positional) {
            uint16_t code = 0;
            if (!ParseCode(text, code))
                return QStringLiteral("\"%1\" is not a 16-bit code (decimal, or hexadecimal with 0x)").arg(text);
            o.Codes.append(code);
        }
        return {};
    case TCliCommand::Read: {
        if (positional.size() != 2)
            return QStringLiteral("read needs ADDR COUNT");
        if (!ParseHexByte(positional[0], o.Address))
            return QStringLiteral("\"%1\" is not a register address (hexadecimal 00..FF)").arg(positional[0]);
        qint64 count = 0;
        if (!ParseDecimal(positional[1], 1, 255, count))
            return QStringLiteral("\"%1\" is not a byte count (decimal 1..255)").arg(positional[1]);
        o.Count = int(count);
        return {};
    }
    case TCliCommand::Write:
        if (positional.size() < 2)
            return QStringLiteral("write needs ADDR BYTE...");
        if (!ParseHexByte(positional[0], o.Address))
            return QStringLiteral("\"%1\" is not a register address (hexadecimal 00..FF)").arg(positional[0]);
        if (positional.size() - 1 > MaxWriteBytes)
            return QStringLiteral("write takes at most %1 bytes").arg(MaxWriteBytes);
        for (int i = 1; i < positional.size(); ++i) {
            uint8_t b = 0;
            if (!ParseHexByte(positional[i], b))
                return QStringLiteral("\"%1\" is not a byte (hexadecimal 00..FF)").arg(positional[i]);
            o.Bytes.append(b);
        }
        return {};
    case TCliCommand::None:
        break;
    }
    return QStringLiteral("no command given");
}

} // namespace

TCliParseResult ParseCommandLine(const QStringList& args)
{
    TCliParseResult result;
    TCliOptions& o = result.Options;
    o.StreamSetup = DefaultStreamSetup;
    QString commandName;
    QStringList positional;
    bool simOptionSeen = false;
    bool framesGiven = false, secondsGiven = false, setupGiven = false;

    auto fail = [&](const QString& error) {
        result.Error = error;
        return result;
    };

    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            o.Help = true;
            continue;
        }
        if (arg == QLatin1String("--version")) {
            o.ShowVersion = true;
            continue;
        }
        if (arg == QLatin1String("--trace")) {
            o.Trace = true;
            continue;
        }
        if (TValued v = TakeValue(QStringLiteral("--tool"), args, i); v.matched) {
            qint64 n = 0;
            if (v.missing || !ParseDecimal(v.value, 0, 1000, n))
                return fail(QStringLiteral("--tool needs a tool index (0, 1, ...)"));
            o.Tool = int(n);
            continue;
        }
        if (TValued v = TakeValue(QStringLiteral("--frames"), args, i); v.matched) {
            qint64 n = 0;
            if (v.missing || !ParseDecimal(v.value, 1, 1000000000, n))
                return fail(QStringLiteral("--frames needs a number of frames from 1 on"));
            o.Frames = int(n);
            framesGiven = true;
            continue;
        }
        if (TValued v = TakeValue(QStringLiteral("--seconds"), args, i); v.matched) {
            bool ok = false;
            const double s = v.value.toDouble(&ok);
            if (v.missing || !ok || !(s > 0.0) || s > 1e6)
                return fail(QStringLiteral("--seconds needs a positive number of seconds"));
            o.Seconds = s;
            secondsGiven = true;
            continue;
        }
        if (TValued v = TakeValue(QStringLiteral("--setup"), args, i); v.matched) {
            QString error;
            if (v.missing)
                return fail(QStringLiteral("--setup needs a list such as wheel,pt,cs,lta"));
            if (!ParseSetup(v.value, o.StreamSetup, error))
                return fail(error);
            setupGiven = true;
            continue;
        }
        const QString next = i + 1 < args.size() ? args[i + 1] : QString();
        bool consumedNext = false;
        QString simError;
        if (ParseSimulatorArgument(arg, next, o.Sim, consumedNext, simError)) {
            if (!simError.isEmpty())
                return fail(simError);
            if (arg != QLatin1String("--simulate") && !arg.startsWith(QLatin1String("--simulate=")))
                simOptionSeen = true;
            if (consumedNext)
                ++i;
            continue;
        }
        if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1)
            return fail(QStringLiteral("unknown option \"%1\"").arg(arg));
        if (commandName.isEmpty())
            commandName = arg;
        else
            positional.append(arg);
    }

    if (o.Help || o.ShowVersion)
        return result;
    if (simOptionSeen && !o.Sim.simulate)
        return fail(QStringLiteral("simulator options need --simulate"));
    if (framesGiven && secondsGiven)
        return fail(QStringLiteral("give either --frames or --seconds, not both"));
    if (commandName.isEmpty())
        return fail(QStringLiteral("no command given"));
    o.Command = CommandNamed(commandName);
    if (o.Command == TCliCommand::None)
        return fail(QStringLiteral("unknown command \"%1\"").arg(commandName));
    if ((framesGiven || secondsGiven || setupGiven) && o.Command != TCliCommand::Stream)
        return fail(QStringLiteral("--frames, --seconds and --setup belong to the stream command"));
    result.Error = CheckArguments(o, commandName, positional);
    return result;
}

QString CliUsageLine()
{
    return QStringLiteral("usage: kt610b-cli [global options] COMMAND [arguments]  (kt610b-cli --help for more)");
}

QString CliHelp()
{
    return QStringLiteral(
               "usage: kt610b-cli [global options] COMMAND [arguments]\n"
               "\n"
               "Drives a KT610B through a configuration tool without the windows.\n"
               "\n"
               "Commands:\n"
               "  list                     the configuration tools: index, name, vid:pid, serial, firmware\n"
               "  errors CODE...           the text of tool result codes (decimal, or hexadecimal with 0x)\n"
               "  version                  power the chip, find it and print its address and version\n"
               "  stream [--frames N | --seconds S] [--setup LIST]\n"
               "                           start streaming with the default set-up and print one line per\n"
               "                           frame until N frames, S seconds, or Ctrl-C; LIST is a comma list\n"
               "                           of wheel, pt, cs, lta, deltas (default wheel,pt,cs,lta)\n"
               "  read ADDR COUNT          read COUNT bytes of register ADDR (hexadecimal)\n"
               "  write ADDR BYTE...       write bytes (hexadecimal) to register ADDR\n"
               "\n"
               "Global options:\n"
               "  --tool N                 the tool to use, by its index in the list (default 0)\n"
               "  --trace                  print every report sent to the tool on standard error\n"
               "  --help                   this text\n"
               "  --version                the program's version\n"
               "\n")
           + SimulatorOptionsHelp()
           + QStringLiteral(
               "\n"
               "Messages go to standard error as \"info: ...\" and \"error: ...\"; results to standard output.\n"
               "Exit status: 0 success, 1 tool or chip failure, 2 usage error, 3 no configuration tool found.\n");
}
