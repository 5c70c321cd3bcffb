#include "cli/CliOptions.h"

#include "app/StreamSetup.h"

#include <algorithm>
#include <optional>

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

// Comma list of names, each setting one flag; "none" clears them all.
bool ParseFlags(const QString& option, const QString& list, const QList<QPair<QString, bool*>>& names,
                QString& error)
{
    QStringList known;
    for (const auto& n : names)
        known << n.first;
    const QString help = QStringLiteral("%1 takes a comma list of %2, or none").arg(option, known.join(QStringLiteral(", ")));
    for (const auto& n : names)
        *n.second = false;
    if (list.trimmed().compare(QLatin1String("none"), Qt::CaseInsensitive) == 0)
        return true;
    for (const QString& item : list.split(QLatin1Char(','))) {
        const QString name = item.trimmed().toLower();
        auto it = std::find_if(names.begin(), names.end(), [&](const auto& n) { return n.first == name; });
        if (it == names.end()) {
            error = QStringLiteral("unknown item \"%1\": %2").arg(item, help);
            return false;
        }
        *it->second = true;
    }
    return true;
}

bool ParseMode(const QString& text, TDataLogControls& log)
{
    if (text == QLatin1String("all")) {
        log.LogCombo = lmAllSamples;
        return true;
    }
    if (text == QLatin1String("events")) {
        log.LogCombo = lmEventsOnly;
        return true;
    }
    qint64 n = 0;
    // The page's "X Samples" spin box runs from 1 to 100.
    if (!text.startsWith(QLatin1String("every:")) || !ParseDecimal(text.mid(6), 1, 100, n))
        return false;
    log.LogCombo = lmEverySamples;
    log.SampleRateSpin = int(n);
    return true;
}

// The start-up chooser's codes of the demonstration set-ups.
uint8_t DemoNamed(const QString& name)
{
    const QStringList names{QStringLiteral("wheel"), QStringLiteral("keys"), QStringLiteral("slider2"),
                            QStringLiteral("slider3")};
    return uint8_t(names.indexOf(name.toLower()) + 1);
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
    if (name == QLatin1String("save-settings"))
        return TCliCommand::SaveSettings;
    if (name == QLatin1String("load-settings"))
        return TCliCommand::LoadSettings;
    if (name == QLatin1String("export-header"))
        return TCliCommand::ExportHeader;
    if (name == QLatin1String("log"))
        return TCliCommand::Log;
    if (name == QLatin1String("diff"))
        return TCliCommand::Diff;
    if (name == QLatin1String("whatif"))
        return TCliCommand::WhatIf;
    return TCliCommand::None;
}

QString CheckArguments(TCliOptions& o, const QString& commandName, const QStringList& positional)
{
    switch (o.Command) {
    case TCliCommand::List:
    case TCliCommand::Version:
    case TCliCommand::Stream:
    case TCliCommand::ExportHeader:
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
    case TCliCommand::SaveSettings:
    case TCliCommand::LoadSettings:
    case TCliCommand::Log:
    case TCliCommand::WhatIf:
        if (positional.size() != 1)
            return QStringLiteral("%1 needs one FILE").arg(commandName);
        o.File = positional[0];
        return {};
    case TCliCommand::Diff:
        if (positional.size() != (o.Chip ? 1 : 2))
            return QStringLiteral("diff needs A B, or A --chip");
        o.FileA = positional[0];
        o.FileB = positional.value(1);
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
    bool logChoiceGiven = false, eventsGiven = false, whatIfGiven = false;

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
        if (TValued v = TakeValue(QStringLiteral("--settings"), args, i); v.matched) {
            if (v.missing)
                return fail(QStringLiteral("--settings needs a settings FILE"));
            o.SettingsFile = v.value;
            continue;
        }
        if (TValued v = TakeValue(QStringLiteral("--demo"), args, i); v.matched) {
            o.Demo = DemoNamed(v.value);
            if (o.Demo == 0)
                return fail(QStringLiteral("--demo needs one of wheel, keys, slider2, slider3"));
            continue;
        }
        if (TValued v = TakeValue(QStringLiteral("-o"), args, i); v.matched) {
            if (v.missing)
                return fail(QStringLiteral("-o needs an output FILE"));
            o.File = v.value;
            continue;
        }
        if (TValued v = TakeValue(QStringLiteral("--record"), args, i); v.matched) {
            if (v.missing)
                return fail(QStringLiteral("--record needs a recording FILE"));
            o.RecordFile = v.value;
            continue;
        }
        if (TValued v = TakeValue(QStringLiteral("--replay"), args, i); v.matched) {
            if (v.missing)
                return fail(QStringLiteral("--replay needs a recording FILE"));
            o.ReplayFile = v.value;
            continue;
        }
        const auto whatIfNumber = [&](const char* name, qint64 low, qint64 high, int& value) -> std::optional<QString> {
            TValued v = TakeValue(QString::fromLatin1(name), args, i);
            if (!v.matched)
                return std::nullopt;
            qint64 n = 0;
            if (v.missing || !ParseDecimal(v.value, low, high, n))
                return QStringLiteral("%1 needs a number %2..%3").arg(QString::fromLatin1(name)).arg(low).arg(high);
            value = int(n);
            whatIfGiven = true;
            return QString();
        };
        if (auto e = whatIfNumber("--prox-th", 0, 255, o.WhatIfProx)) {
            if (!e->isEmpty())
                return fail(*e);
            continue;
        }
        if (auto e = whatIfNumber("--debounce", 1, 64, o.WhatIfDebounce)) {
            if (!e->isEmpty())
                return fail(*e);
            continue;
        }
        if (auto e = whatIfNumber("--release", 1, 64, o.WhatIfRelease)) {
            if (!e->isEmpty())
                return fail(*e);
            continue;
        }
        if (TValued v = TakeValue(QStringLiteral("--touch-th"), args, i); v.matched) {
            const QStringList parts = v.value.split(u',');
            o.WhatIfTouch.clear();
            for (const QString& part : parts) {
                qint64 n = 0;
                if (v.missing || !ParseDecimal(part, 0, 255, n))
                    break;
                o.WhatIfTouch.append(int(n));
            }
            if (o.WhatIfTouch.size() != parts.size() || (parts.size() != 1 && parts.size() != 3))
                return fail(QStringLiteral("--touch-th needs N or N1,N2,N3 (0..255)"));
            whatIfGiven = true;
            continue;
        }
        if (arg == QLatin1String("--chip")) {
            o.Chip = true;
            continue;
        }
        if (TValued v = TakeValue(QStringLiteral("--mode"), args, i); v.matched) {
            if (v.missing || !ParseMode(v.value, o.Log))
                return fail(QStringLiteral("--mode needs all, events or every:N (N 1..100)"));
            logChoiceGiven = true;
            continue;
        }
        if (TValued v = TakeValue(QStringLiteral("--channels"), args, i); v.matched) {
            QString error;
            auto& ch = o.Log.LogChCheck;
            if (!ParseFlags(QStringLiteral("--channels"), v.value,
                            {{"0", &ch[0]}, {"1", &ch[1]}, {"2", &ch[2]}, {"3", &ch[3]}}, error))
                return fail(error);
            logChoiceGiven = true;
            continue;
        }
        if (TValued v = TakeValue(QStringLiteral("--columns"), args, i); v.matched) {
            QString error;
            TDataLogControls& l = o.Log;
            if (!ParseFlags(QStringLiteral("--columns"), v.value,
                            {{"counts", &l.LogCountsCheck},
                             {"lta", &l.LogLTACheck},
                             {"delta", &l.LogDeltaCheck},
                             {"prox", &l.LogProxCheck},
                             {"touch", &l.LogTouchCheck},
                             {"wheel", &l.LogWheelCheck},
                             {"relative", &l.LogRelativeCheck}},
                            error))
                return fail(error);
            logChoiceGiven = true;
            continue;
        }
        if (TValued v = TakeValue(QStringLiteral("--events"), args, i); v.matched) {
            QString error;
            TDataLogControls& l = o.Log;
            if (!ParseFlags(QStringLiteral("--events"), v.value,
                            {{"prox", &l.ProxEventCheck},
                             {"touch", &l.TouchEventCheck},
                             {"wheel", &l.WheelEventCheck},
                             {"lowpower", &l.LowPowerCheck}},
                            error))
                return fail(error);
            logChoiceGiven = eventsGiven = true;
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
    const TCliCommand c = o.Command;
    const bool streams = c == TCliCommand::Stream || c == TCliCommand::Log;
    if ((framesGiven || secondsGiven) && !streams)
        return fail(QStringLiteral("--frames and --seconds belong to the stream and log commands"));
    if (setupGiven && c != TCliCommand::Stream)
        return fail(QStringLiteral("--setup belongs to the stream command"));
    if (logChoiceGiven && c != TCliCommand::Log)
        return fail(QStringLiteral("--mode, --channels, --columns and --events belong to the log command"));
    if (eventsGiven && o.Log.LogCombo != lmEventsOnly)
        return fail(QStringLiteral("--events needs --mode events"));
    if (!o.RecordFile.isEmpty() && !streams)
        return fail(QStringLiteral("--record belongs to the stream and log commands"));
    if (whatIfGiven && c != TCliCommand::WhatIf)
        return fail(QStringLiteral("--prox-th, --touch-th, --debounce and --release belong to the whatif command"));
    if (!o.ReplayFile.isEmpty() && o.Sim.simulate)
        return fail(QStringLiteral("--replay and --simulate cannot be combined"));
    if (o.Chip && c != TCliCommand::Diff)
        return fail(QStringLiteral("--chip belongs to the diff command"));
    const bool takesSetUp = streams || c == TCliCommand::Version;
    if (!o.SettingsFile.isEmpty() && !takesSetUp && c != TCliCommand::ExportHeader)
        return fail(QStringLiteral("--settings belongs to the stream, log, version and export-header commands"));
    if (o.Demo != 0 && !takesSetUp)
        return fail(QStringLiteral("--demo belongs to the stream, log and version commands"));
    if (o.Demo != 0 && !o.SettingsFile.isEmpty())
        return fail(QStringLiteral("give either --settings or --demo, not both"));
    // The set-up's own stream choice would replace the one given.
    if (setupGiven && (o.Demo != 0 || !o.SettingsFile.isEmpty()))
        return fail(QStringLiteral("--setup cannot be combined with --settings or --demo"));
    const bool outputGiven = !o.File.isEmpty();
    if (outputGiven != (c == TCliCommand::ExportHeader))
        return fail(c == TCliCommand::ExportHeader ? QStringLiteral("export-header needs -o OUT")
                                                   : QStringLiteral("-o belongs to the export-header command"));
    result.Error = CheckArguments(o, commandName, positional);
    if (result.Error.isEmpty() && c == TCliCommand::Log)
        result.Error = TDataLog::ValidationError(o.Log);
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
               "  save-settings FILE       read all settings from the chip and save them as a settings file\n"
               "  load-settings FILE       apply a settings file to the streaming chip as \"Apply Settings\"\n"
               "                           does, wait for the tuning run it starts, print the items\n"
               "  export-header -o OUT [--settings FILE]\n"
               "                           write the firmware header: from the chip (read all first), or\n"
               "                           with --settings from the file alone, without a tool\n"
               "  log OUT [--frames N | --seconds S] [--mode all|events|every:N] [--channels LIST]\n"
               "          [--columns LIST] [--events LIST]\n"
               "                           stream and write the data log to OUT; channels 0,1,2,3;\n"
               "                           columns counts,lta,delta,prox,touch,wheel,relative (default\n"
               "                           counts,lta on all channels); events prox,touch,wheel,lowpower\n"
               "                           (with --mode events); a LIST may be none\n"
               "  diff A B | diff A --chip compare two settings files, or a file and the chip's registers,\n"
               "                           key by key: key, register, A, B; exit 1 when they differ\n"
               "  whatif FILE [--prox-th N] [--touch-th N|N1,N2,N3] [--debounce N] [--release N]\n"
               "                           evaluate a frame recording or data log against other thresholds\n"
               "                           and debounce (default: the recorded ones) and print the prox and\n"
               "                           touch events that would have fired, beside those the chip reported:\n"
               "                           time (s), frame, channel, event, source (both, what-if, chip)\n"
               "\n"
               "  stream, log and version take --settings FILE or --demo wheel|keys|slider2|slider3: the\n"
               "  set-up is loaded into the chip after the start, as the start-up chooser does. stream and log\n"
               "  take --record FILE: every frame also goes into a frame recording (.ktrec).\n"
               "\n"
               "Global options:\n"
               "  --tool N                 the tool to use, by its index in the list (default 0)\n"
               "  --trace                  print every report sent to the tool on standard error\n"
               "  --replay FILE            play a frame recording or data log back as the tool\n"
               "  --help                   this text\n"
               "  --version                the program's version\n"
               "\n")
           + SimulatorOptionsHelp()
           + QStringLiteral(
               "\n"
               "Messages go to standard error as \"info: ...\" and \"error: ...\"; results to standard output.\n"
               "Exit status: 0 success, 1 tool or chip failure, 2 usage error, 3 no configuration tool found.\n");
}
