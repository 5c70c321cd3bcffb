#include "persist/DataLog.h"

#include "app/MainCore.h"
#include "common/FileMode.h"

#include <QLocale>
#include <charconv>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

// The separator between hours and minutes in the user's time format (":" in most regions).
QByteArray LocaleTimeSeparator()
{
    const QString format = QLocale::system().timeFormat(QLocale::ShortFormat);
    qsizetype i = 0;
    while (i < format.size() && (format[i] == u'h' || format[i] == u'H'))
        ++i;
    qsizetype end = i;
    while (end < format.size() && format[end] != u'm')
        ++end;
    const QString separator = format.mid(i, end - i);
    if (i == 0 || end == format.size() || separator.isEmpty() || separator.contains(u'\''))
        return ":";
    return separator.toLatin1();
}

void AppendNumber(QByteArray& row, int64_t value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    row.append(digits, end - digits);
}

void AppendTwoDigits(QByteArray& row, int value)
{
    row += char('0' + value / 10);
    row += char('0' + value % 10);
}

} // namespace

TDataLog::TDataLog(TMainCore& core) : Now([] { return QDateTime::currentDateTime(); }), FCore(core)
{
    FRow.reserve(512);
    FCore.OnLogFrame = [this] { FrameStep(); };
}

TDataLog::~TDataLog()
{
    FCore.OnLogFrame = nullptr;
}

// ---- Selection ----

QString TDataLog::ValidationError(const TDataLogControls& c)
{
    const bool channelData = c.LogCountsCheck || c.LogLTACheck || c.LogDeltaCheck || c.LogProxCheck || c.LogTouchCheck;
    const bool anyChannel = c.LogChCheck[0] || c.LogChCheck[1] || c.LogChCheck[2] || c.LogChCheck[3];
    if (channelData && !anyChannel)
        return QStringLiteral("Please select at least 1 channel to log the selected data option(s).");
    if (!channelData && !c.LogWheelCheck && !c.LogRelativeCheck)
        return QStringLiteral("Please select at least 1 data logging option.");
    if (anyChannel && !channelData)
        return QStringLiteral("Please select at least 1 channel specific data logging option.");
    return QString();
}

bool TDataLog::StreamsMissing() const
{
    const TStreamSetup& s = FCore.StreamSetup;
    const TDataLogControls& c = Controls;
    return ((c.LogWheelCheck || c.LogRelativeCheck) && !s.WheelActive) || (c.LogCountsCheck && !s.CSActive)
           || (c.LogLTACheck && !s.LTAActive) || ((c.LogProxCheck || c.LogTouchCheck) && !s.PTActive);
}

void TDataLog::SelectMissingStreams()
{
    const TStreamSetup& s = FCore.StreamSetup;
    const TDataLogControls& c = Controls;
    TSettingsRecord& r = FCore.Settings;
    if ((c.LogWheelCheck || c.LogRelativeCheck) && !s.WheelActive)
        r.WheelCheck = true;
    if (c.LogCountsCheck && !s.CSActive)
        r.CSCheck = true;
    if (c.LogLTACheck && !s.LTAActive)
        r.LTACheck = true;
    if ((c.LogProxCheck || c.LogTouchCheck) && !s.PTActive)
        r.PTCheck = true;
}

void TDataLog::PrepareMode()
{
    ProxEvent = TouchEvent = LPEvent = WheelEvent = false;
    FCore.FLogEvents = false;
    if (Controls.LogCombo == lmEventsOnly) {
        ProxEvent = Controls.ProxEventCheck;
        TouchEvent = Controls.TouchEventCheck;
        LPEvent = Controls.LowPowerCheck;
        WheelEvent = Controls.WheelEventCheck;
        FCore.FLogEvents = true;
    } else if (Controls.LogCombo == lmEverySamples) {
        SampleCount = 0;
    }
}

// ---- Start and stop ----

bool TDataLog::Start(const QString& fileName)
{
    FLogFileName = fileName;
    FTimeSeparator = LocaleTimeSeparator();
    FLogFile.setFileName(fileName);
    // Unbuffered: every row reaches the file with its own write.
    const QByteArray header = HeaderLine();
    if (!FLogFile.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)
        || FLogFile.write(header) != header.size()) {
        FLogFile.close();
        FDoLog = false;
        FCore.KvrAddItem(QStringLiteral("Unabled to start data log!"), TKvrItemType::aError);
        return false;
    }
    DropWorldWrite(FLogFile);
    FCore.FProxEventValue = FCore.FProx & 0x01;
    FCore.FTouchEventValue = FCore.FTouch;
    FLogNow = false;
    FDoLog = true;
    FCore.KvrAddItem(QStringLiteral("Data log started"), TKvrItemType::aInfo);
    return true;
}

void TDataLog::Stop()
{
    FDoLog = false;
    FLogFile.close();
    FCore.KvrAddItem(QStringLiteral("Data log stopped"), TKvrItemType::aInfo);
}

// ---- Rows ----

QByteArray TDataLog::HeaderLine() const
{
    const TDataLogControls& c = Controls;
    QByteArray h = "Time Stamp\tTime Difference (ms)";
    if (c.LogWheelCheck)
        h += "\tWheel Data";
    if (c.LogRelativeCheck)
        h += "\tRelative Coords";
    const auto channels = [&](bool wanted, const char* title, int first) {
        if (!wanted)
            return;
        for (int n = first; n < 4; ++n)
            if (c.LogChCheck[n])
                h += QByteArray("\t") + title + char('0' + n);
    };
    channels(c.LogCountsCheck, "Count CH", 0);
    channels(c.LogLTACheck, "LTA CH", 0);
    channels(c.LogDeltaCheck, "Delta CH", 0);
    if (c.LogProxCheck && c.LogChCheck[0])
        h += "\tProx CH0";
    channels(c.LogTouchCheck, "Touch CH", 1);
    h += "\r\n";
    return h;
}

QByteArray TDataLog::Row(const QDateTime& now)
{
    NowTime = now;
    FRow.clear();
    const QTime t = NowTime.time();
    AppendTwoDigits(FRow, t.hour());
    FRow += FTimeSeparator;
    AppendTwoDigits(FRow, t.minute());
    FRow += FTimeSeparator;
    AppendTwoDigits(FRow, t.second());
    FRow += ".(";
    FRow += char('0' + t.msec() / 100);
    AppendTwoDigits(FRow, t.msec() % 100);
    FRow += ")\t";
    if (FirstTime) {
        FirstTime = false;
        FRow += '-';
    } else {
        // Whole date-times: a row after midnight still counts forward.
        AppendNumber(FRow, std::abs(PreTime.msecsTo(NowTime)));
    }
    PreTime = NowTime;

    const TDataLogControls& c = Controls;
    const auto value = [this](int64_t v) {
        FRow += '\t';
        AppendNumber(FRow, v);
    };
    if (c.LogWheelCheck)
        value(FCore.FWheelData1);
    if (c.LogRelativeCheck)
        value(FCore.FWheelData2);
    const auto channels = [&](bool wanted, const std::array<int32_t, 4>& values) {
        if (!wanted)
            return;
        for (int n = 0; n < 4; ++n)
            if (c.LogChCheck[n])
                value(values[n]);
    };
    channels(c.LogCountsCheck, FCore.FCurrentChs);
    channels(c.LogLTACheck, FCore.FLTAChs);
    channels(c.LogDeltaCheck, FCore.FDeltaChs);
    if (c.LogProxCheck && c.LogChCheck[0])
        value(FCore.FProx & 0x01);
    if (c.LogTouchCheck)
        for (int n = 1; n < 4; ++n)
            if (c.LogChCheck[n])
                value(FCore.FTouchBools[n]);
    FRow += "\r\n";
    return FRow;
}

void TDataLog::FrameStep()
{
    if (!FDoLog)
        return;
    if (Controls.LogCombo == lmAllSamples) {
        FLogNow = true;
    } else if (Controls.LogCombo == lmEverySamples) {
        if (++SampleCount >= Controls.SampleRateSpin) {
            SampleCount = 0;
            FLogNow = true;
        }
    }
    if (FCore.FLogEvents
        && ((FCore.FProxEvent && ProxEvent) || (FCore.FTouchEvent && TouchEvent) || (FCore.FLPEvent && LPEvent)
            || (FCore.FWheelEvent && WheelEvent)))
        FLogNow = true;
    if (!FLogNow)
        return;
    FLogNow = false;
    if (!WriteRow())
        WriteFailed();
}

bool TDataLog::WriteRow()
{
    const QByteArray& row = Row(Now());
    return FLogFile.write(row) == row.size() && FileLinked();
}

bool TDataLog::FileLinked() const
{
#ifdef Q_OS_UNIX
    struct stat st {};
    return ::fstat(FLogFile.handle(), &st) == 0 && st.st_nlink > 0;
#else
    return true;
#endif
}

void TDataLog::WriteFailed()
{
    // Rows already written stay in the file; nothing more is lost silently.
    FDoLog = false;
    FLogFile.close();
    FCore.KvrAddItem(QStringLiteral("Data log stopped! Unable to write to the log file \"%1\".").arg(FLogFileName),
                     TKvrItemType::aError);
    if (OnStopped)
        OnStopped();
}
