#include "persist/ui/DataLogPage.h"

#include "app/MainCore.h"
#include "persist/DataLog.h"
#include "settings/SettingsPages.h"
#include "settings/ui/SettingsUnit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

const QString StartLog = QStringLiteral("Start Log");
const QString StopLog = QStringLiteral("Stop Log");
const QString EnableStreamsQuestion = QStringLiteral(
    "Some of the data you want to log are not currently enabled.\nDo you want to enable these streaming options?");
const QColor Grey(0xC0, 0xC0, 0xC0);

void SetGrey(QLabel* label, bool grey)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, grey ? Grey : label->parentWidget()->palette().color(QPalette::WindowText));
    label->setPalette(p);
}

} // namespace

TDataLogPage::TDataLogPage(TSettingsForm& form, TMainCore& core, QWidget* page)
    : QObject(page), FForm(form), FCore(core), FLog(*core.DataLog)
{
    ShowErrorBox = [this](const QString& text) { QMessageBox::critical(&FForm, QStringLiteral("Error"), text); };
    AskLogFileName = [this] {
        QFileDialog dialog(&FForm, QStringLiteral("Save Log File"));
        dialog.setObjectName(QStringLiteral("SaveLogDialog"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilter(QStringLiteral("Text Files (*.txt)"));
        dialog.setDefaultSuffix(QStringLiteral("txt"));
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    Build(page);
    Bind();
    // The page may go before the core.
    FLog.OnStopped = [page = QPointer<TDataLogPage>(this)] {
        if (page)
            page->LogStopped();
    };
}

QCheckBox* TDataLogPage::Check(QWidget* parent, const QString& name, const QString& caption)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

void TDataLogPage::Build(QWidget* page)
{
    auto* logging = new QGroupBox(QStringLiteral("Logging"), page);
    LogDataButton = new QPushButton(StartLog, logging);
    LogDataButton->setObjectName(QStringLiteral("LogDataButton"));
    LogDataButton->setMinimumWidth(100);
    LogCombo = new QComboBox(logging);
    LogCombo->setObjectName(QStringLiteral("LogCombo"));
    LogCombo->addItems({QStringLiteral("Log All Samples"), QStringLiteral("Log On Events Only"),
                        QStringLiteral("Log Every (X Samples)")});
    Label48 = new QLabel(QStringLiteral("X Samples :"), logging);
    Label48->setObjectName(QStringLiteral("Label48"));
    SampleRateSpin = new QSpinBox(logging);
    SampleRateSpin->setObjectName(QStringLiteral("SampleRateSpin"));
    SampleRateSpin->setRange(1, 100);
    auto* loggingLayout = new QHBoxLayout(logging);
    loggingLayout->addWidget(LogDataButton);
    loggingLayout->addWidget(LogCombo);
    loggingLayout->addSpacing(12);
    loggingLayout->addWidget(Label48);
    loggingLayout->addWidget(SampleRateSpin);
    loggingLayout->addStretch(1);

    auto* channel = new QGroupBox(QStringLiteral("Channel Specific"), page);
    auto* channelLayout = new QGridLayout(channel);
    ChsLabel = new QLabel(QStringLiteral("Chs:"), channel);
    ChsLabel->setObjectName(QStringLiteral("ChsLabel"));
    channelLayout->addWidget(ChsLabel, 0, 0);
    for (int n = 0; n < 4; ++n) {
        ChLabels[n] = new QLabel(QString::number(n), channel);
        ChLabels[n]->setObjectName(QStringLiteral("LogCh%1Label").arg(n));
        ChLabels[n]->setAlignment(Qt::AlignHCenter);
        LogChChecks[n] = Check(channel, QStringLiteral("LogCh%1Check").arg(n), QString());
        channelLayout->addWidget(ChLabels[n], 0, n + 1, Qt::AlignHCenter);
        channelLayout->addWidget(LogChChecks[n], 1, n + 1, Qt::AlignHCenter);
    }
    Button3 = new QPushButton(QStringLiteral("Select Active Channels"), channel);
    Button3->setMinimumWidth(Button3->fontMetrics().horizontalAdvance(Button3->text()) + 20); // air round the caption
    Button3->setObjectName(QStringLiteral("Button3"));
    channelLayout->addWidget(Button3, 1, 5);
    LogCountsCheck = Check(channel, QStringLiteral("LogCountsCheck"), QStringLiteral("Counts"));
    LogLTACheck = Check(channel, QStringLiteral("LogLTACheck"), QStringLiteral("LTA (Long Term Avgs)"));
    LogDeltaCheck = Check(channel, QStringLiteral("LogDeltaCheck"), QStringLiteral("Delta (Count - LTA)"));
    LogProxCheck = Check(channel, QStringLiteral("LogProxCheck"), QStringLiteral("Prox"));
    LogTouchCheck = Check(channel, QStringLiteral("LogTouchCheck"), QStringLiteral("Touch"));
    int row = 2;
    for (QCheckBox* box : {LogCountsCheck, LogLTACheck, LogDeltaCheck, LogProxCheck, LogTouchCheck})
        channelLayout->addWidget(box, row++, 0, 1, 6);
    channelLayout->setColumnStretch(6, 1);

    auto* other = new QGroupBox(QStringLiteral("Other"), page);
    LogWheelCheck = Check(other, QStringLiteral("LogWheelCheck"), QStringLiteral("Wheel / Slider Coordinates"));
    LogRelativeCheck = Check(other, QStringLiteral("LogRelativeCheck"), QStringLiteral("Relative Coordinates"));
    auto* otherLayout = new QVBoxLayout(other);
    otherLayout->addWidget(LogWheelCheck);
    otherLayout->addWidget(LogRelativeCheck);

    auto* events = new QGroupBox(QStringLiteral("Events"), page);
    ProxEventCheck = Check(events, QStringLiteral("ProxEventCheck"), QStringLiteral("Prox"));
    TouchEventCheck = Check(events, QStringLiteral("TouchEventCheck"), QStringLiteral("Touch"));
    WheelEventCheck = Check(events, QStringLiteral("WheelEventCheck"), QStringLiteral("Wheel / Slider Data"));
    LowPowerCheck = Check(events, QStringLiteral("LowPowerCheck"), QStringLiteral("Low Power"));
    auto* eventsLayout = new QVBoxLayout(events);
    for (QCheckBox* box : {ProxEventCheck, TouchEventCheck, WheelEventCheck, LowPowerCheck})
        eventsLayout->addWidget(box);
    auto* note = new QLabel(QStringLiteral("* Only applicable if 'Log On Events Only' option has been selected"), events);
    note->setWordWrap(true);
    eventsLayout->addWidget(note);

    auto* layout = new QVBoxLayout(page);
    for (QGroupBox* group : {logging, channel, other, events})
        layout->addWidget(group);
    layout->addStretch(1);
}

void TDataLogPage::Bind()
{
    TDataLogControls& c = FLog.Controls;
    const auto bind = [](QCheckBox* box, bool& field) {
        box->setChecked(field);
        connect(box, &QCheckBox::toggled, box, [&field](bool on) { field = on; });
    };
    for (int n = 0; n < 4; ++n)
        bind(LogChChecks[n], c.LogChCheck[n]);
    bind(LogCountsCheck, c.LogCountsCheck);
    bind(LogLTACheck, c.LogLTACheck);
    bind(LogDeltaCheck, c.LogDeltaCheck);
    bind(LogProxCheck, c.LogProxCheck);
    bind(LogTouchCheck, c.LogTouchCheck);
    bind(LogWheelCheck, c.LogWheelCheck);
    bind(LogRelativeCheck, c.LogRelativeCheck);
    bind(ProxEventCheck, c.ProxEventCheck);
    bind(TouchEventCheck, c.TouchEventCheck);
    bind(WheelEventCheck, c.WheelEventCheck);
    bind(LowPowerCheck, c.LowPowerCheck);
    SampleRateSpin->setValue(c.SampleRateSpin);
    connect(SampleRateSpin, &QSpinBox::valueChanged, this, [&c](int value) { c.SampleRateSpin = value; });
    LogCombo->setCurrentIndex(c.LogCombo);
    connect(LogCombo, &QComboBox::currentIndexChanged, this, [this, &c](int index) {
        c.LogCombo = index;
        LogComboChange();
    });
    connect(LogDataButton, &QPushButton::clicked, this, &TDataLogPage::LogDataButtonClick);
    connect(Button3, &QPushButton::clicked, this, &TDataLogPage::Button3Click);
    LogComboChange();
}

void TDataLogPage::LogComboChange()
{
    const int mode = LogCombo->currentIndex();
    for (QCheckBox* box : {ProxEventCheck, TouchEventCheck, WheelEventCheck, LowPowerCheck})
        box->setEnabled(mode == lmEventsOnly);
    SampleRateSpin->setEnabled(mode == lmEverySamples);
    SetGrey(Label48, mode != lmEverySamples);
}

void TDataLogPage::Button3Click()
{
    for (int n = 0; n < 4; ++n)
        LogChChecks[n]->setChecked(FCore.CHCheck[n]);
}

void TDataLogPage::LogDataButtonClick()
{
    const QString invalid = FLog.ValidationError();
    if (!invalid.isEmpty()) {
        ShowErrorBox(invalid);
        return;
    }
    if (LogDataButton->text() != StartLog) {
        if (SetupLogging())
            LogStopped();
        return;
    }
    if (FLog.StreamsMissing() && FForm.AskYesNo(EnableStreamsQuestion))
        EnableMissingStreams();
    FLog.PrepareMode();
    FLog.FirstTime = true;
    if (SetupLogging() && FLog.FDoLog) {
        LogDataButton->setText(StopLog);
        Lock(true);
    }
    if (FForm.isVisible())
        FForm.raise();
}

bool TDataLogPage::SetupLogging()
{
    if (LogDataButton->text() != StartLog) {
        FLog.Stop();
        return true;
    }
    const QString fileName = AskLogFileName();
    if (fileName.isEmpty())
        return true;
    if (!FLog.Start(fileName)) {
        ShowErrorBox(QStringLiteral("Unable to save log file!\nFile might be in use by another program."));
        return false;
    }
    LogDataButton->setText(StopLog);
    return true;
}

void TDataLogPage::EnableMissingStreams()
{
    TSettingsPages& pages = FCore.Pages;
    pages.FActivePage = spSetup;
    FLog.SelectMissingStreams();
    FForm.SettingsRecordChanged();
    // Marks the Setup page changed, which enables Apply.
    FCore.StreamSetup.StreamChangeClick();
    if (FForm.ApplyButton->isEnabled())
        FForm.ApplyButtonClick();
    pages.FActivePage = spDataLog;
    pages.CheckChanges();
}

void TDataLogPage::Lock(bool locked)
{
    for (QWidget* w : std::initializer_list<QWidget*>{LogCombo, SampleRateSpin, Button3, LogCountsCheck, LogLTACheck,
                                                       LogDeltaCheck, LogProxCheck, LogTouchCheck, LogWheelCheck,
                                                       LogRelativeCheck, ProxEventCheck, TouchEventCheck,
                                                       WheelEventCheck, LowPowerCheck})
        w->setEnabled(!locked);
    for (QCheckBox* box : LogChChecks)
        box->setEnabled(!locked);
    SetGrey(Label48, locked);
    SetGrey(ChsLabel, locked);
    for (QLabel* label : ChLabels)
        SetGrey(label, locked);
}

void TDataLogPage::LogStopped()
{
    LogDataButton->setText(StartLog);
    FLog.ProxEvent = FLog.TouchEvent = FLog.LPEvent = FLog.WheelEvent = false;
    Lock(false);
}
