#include "app/ui/MainUnit.h"

#include "app/CopyDataServer.h"
#include "app/MainCore.h"
#include "app/SessionControl.h"
#include "app/ToolChange.h"
#include "app/ui/AppForms.h"
#include "app/ui/AppShortcuts.h"
#include "app/ui/CategoryPanel.h"
#include "app/ui/ColourBars.h"
#include "app/ui/GraphPicture.h"
#include "app/ui/KvrListBox.h"
#include "app/ui/LiveDisplay.h"
#include "app/ui/PictureBox.h"
#include "app/ui/ScopeUnit.h"
#include "app/ui/StatisticsWindow.h"
#include "app/ui/ThresholdOverlay.h"
#include "help/MainButtonHints.h"
#include "help/ui/AboutDialogUnit.h"
#include "help/ui/HintTipsUnit.h"
#include "help/ui/ToolTipManager.h"
#include "persist/DataLog.h"
#include "persist/HeaderExport.h"
#include "persist/MinVer.h"
#include "persist/Preferences.h"
#include "persist/SettingsFile.h"
#include "persist/ui/DataLogPage.h"
#include "persist/ui/StartupUnit.h"
#include "replay/ui/RecordingActions.h"
#include "settings/ui/EasyShowSendUnit.h"
#include "settings/ui/SendCommandsUnit.h"
#include "settings/ui/SettingsUnit.h"
#include "toollink/ui/CtSetupUnit.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <qcustomplot.h>

namespace {

QColor Rgb(uint32_t colour)
{
    return QColor((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

// The program's version as four numbers, "major.minor.release.build".
QString FileVersion()
{
    QStringList parts = QStringLiteral(KT610B_VERSION).split(QLatin1Char('.'));
    while (parts.size() < 4)
        parts.append(QStringLiteral("0"));
    QStringList numbers;
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const int n = parts[i].toInt(&ok);
        if (!ok)
            return QString();
        numbers.append(QString::number(n));
    }
    return numbers.join(QLatin1Char('.'));
}

const QString MakerLine = QStringLiteral("Korvane capacitive sensing");

} // namespace

TMainForm::TMainForm(std::shared_ptr<HidBackend> backend, const QString& copyDataName, QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSize(8);
    setFont(tahoma);

    LoadPictures();
    CreateControls();
    FCore = std::make_unique<TMainCore>(std::move(backend), this, this);
    FCopyData = std::make_unique<TCopyDataServer>();
    FCopyData->Listen(copyDataName.isEmpty() ? TCopyDataServer::ServerName() : copyDataName);
    ConnectControls();
    LiveDisplay = new TLiveDisplay(*this, *FCore);
    BarThresholds = new TThresholdOverlay(BarGraph, *FCore, true);
    BarThresholds->BeforeDrag = [] { SettingsForm->SelectPageForEdit(spThr); };
    SettingsFile = std::make_unique<TSettingsFile>(*FCore);
    Recording = std::make_unique<TRecordingActions>(*FCore, FileMenu, Exit1, this);
    FormCreate();
}

TMainForm::~TMainForm()
{
    // It unhooks itself from the core, which goes first otherwise.
    SettingsFile.reset();
    Recording.reset();
    FormDestroy();
    if (FShortcuts)
        qApp->removeEventFilter(FShortcuts.get());
}

void TMainForm::LoadPictures()
{
    Q_INIT_RESOURCE(resources);
    WaitText.load(QStringLiteral(":/WaitText"));
    FlickLeft.load(QStringLiteral(":/FlickLeft"));
    FlickRight.load(QStringLiteral(":/FlickRight"));
    TapPng.load(QStringLiteral(":/Tap"));
    NonePNG.load(QStringLiteral(":/CHNone"));
    ProxPNG.load(QStringLiteral(":/CHProx"));
    TouchPNG.load(QStringLiteral(":/CHTouch"));
    SNonePNG.load(QStringLiteral(":/CHNoneScope"));
    SProxPNG.load(QStringLiteral(":/CHProxScope"));
    STouchPNG.load(QStringLiteral(":/CHTouchScope"));
    ChipNamePicture.load(QStringLiteral(":/KT610"));
}

void TMainForm::ConnectControls()
{
    connect(Exit1, &QAction::triggered, this, &QWidget::close);
    connect(Resetstartupapplicationsizeandposition1, &QAction::triggered, this, [this] {
        FResetSizePos = true;
        KvrAddItem(QStringLiteral("Saved settings will reset on next start-up"), TKvrItemType::aInfo);
    });
    connect(ReadAll, &QAction::triggered, this, [this] { FCore->Session->ReadAllClick(); });
    connect(ExportH, &QAction::triggered, this, &TMainForm::ExportHClick);
    AskHFileName = [this] {
        QFileDialog dialog(this, QStringLiteral("Export H File"));
        dialog.setObjectName(QStringLiteral("SaveHDialog"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilter(QStringLiteral("h Files (*.h)"));
        dialog.setDefaultSuffix(QStringLiteral("h"));
        dialog.selectFile(QStringLiteral("KT610_Init"));
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    connect(ShowSendCommands1, &QAction::triggered, this, [this] {
        FCore->FEasyShowSend = true;
        ShowWindowRestored(EasyShowSendForm);
    });
    connect(HintsTips1, &QAction::triggered, this, [] { HintTipsForm->exec(); });
    connect(About1, &QAction::triggered, this, [] { AboutDialog->exec(); });
    connect(StatisticsAction, &QAction::triggered, this, &TMainForm::StatisticsClick);
    connect(StatisticsBtn, &QPushButton::clicked, this, &TMainForm::StatisticsClick);
    connect(SnrAction, &QAction::triggered, this, &TMainForm::SnrClick);

    connect(SetupButton, &QPushButton::clicked, this, &TMainForm::SetupButtonClick);
    connect(ScopeButton, &QPushButton::clicked, this, &TMainForm::ScopeButtonClick);
    connect(StartButton, &QPushButton::clicked, this, &TMainForm::StartButtonClick);
    connect(PauseButton, &QPushButton::clicked, this, &TMainForm::PauseButtonClick);
    connect(CtSetupButton, &QToolButton::clicked, this, &TMainForm::CtSetupButtonClick);
    connect(CMTButton, &QPushButton::clicked, this, &TMainForm::CMTButtonClick);
    // The tool panel and its label open the tool setup window like the button.
    for (QWidget* w : std::initializer_list<QWidget*>{CtPanel, CtLabel})
        w->installEventFilter(this);

    MessageBox->OnInfoItem = [this](TKvrListBox*) { MessageBoxInfoItem(); };
    MessageBox->OnErrorItem = [this](TKvrListBox*) { MessageBoxErrorItem(); };
    connect(FCopyData.get(), &TCopyDataServer::CloseRequested, this, &QWidget::close, Qt::QueuedConnection);

    RePosTimer = new QTimer(this);
    RePosTimer->setSingleShot(true);
    RePosTimer->setInterval(50);
    connect(RePosTimer, &QTimer::timeout, this, &TMainForm::ArrangeChannelRow);
    BarTimer = new QTimer(this);
    BarTimer->setInterval(10);
    connect(BarTimer, &QTimer::timeout, this, [this] { LiveDisplay->BarTimerTimer(); });

    ToolTipManager1 = new TToolTipManager(this);
    ToolTipManager1->SetCenterTip(true);
    ToolTipManager1->SetHidePause(20000);
    ToolTipManager1->SetReshowPause(200);
    ToolTipManager1->SetShowPause(500);
    for (QWidget* button : std::initializer_list<QWidget*>{StartButton, PauseButton, ScopeButton, SetupButton})
        ToolTipManager1->Add(button)->IconType = TToolTipIcon::ttiInformation;
    ToolTipManager1->OnBeforeShow = [this](TToolTipManager* sender, TToolTipItem* tip) {
        ToolTipManager1BeforeShow(sender, tip);
    };
    ToolTipManager1->Loaded();
}

void TMainForm::ToolTipManager1BeforeShow(TToolTipManager* Sender, TToolTipItem* ToolTip)
{
    TMainHintButton button = TMainHintButton::SetupButton;
    if (ToolTip->Control() == StartButton)
        button = TMainHintButton::StartButton;
    else if (ToolTip->Control() == PauseButton)
        button = TMainHintButton::PauseButton;
    else if (ToolTip->Control() == ScopeButton)
        button = TMainHintButton::ScopeButton;
    const THintText hint =
        MainButtonHint(button, FCore->FIsStreaming, PauseButton->text(), Showhelphints1->isChecked());
    ToolTip->Title = hint.Title;
    ToolTip->Description = hint.Text;
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == CtPanel || watched == CtLabel) && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        CtSetupButtonClick();
    return QMainWindow::eventFilter(watched, event);
}

// ---- Life cycle ----

void TMainForm::FormCreate()
{
    FCore->KorvaneDevList1->Activate();
    FShortcuts = std::make_unique<TAppShortcuts>(this);
    qApp->installEventFilter(FShortcuts.get());

    // The bar graph is repainted only on request (BarTimer while streaming); before the first start it shows
    // the chip's name.
    GraphPicture->ShowCentred(ChipNamePicture);

    MessageBox->SetItemHeight(HighDensity() ? 18 : 13);
    DrawRelativeStrip();

    FAppVersion = FileVersion();
    AppVersion = QStringLiteral("V") + FAppVersion;
    setWindowTitle(QStringLiteral("Korvane KT610B"));
    setWindowIconText(ApplicationTitle());

    for (int c = 0; c < 4; ++c)
        CHPTShape[c]->setPixmap(NonePNG);
    FCore->FResources.fill(0);

    LocalDataPath = TPreferences::LocalDataPath();
    IniFilePath = TPreferences::DefaultFilePath();
    AppPath = QCoreApplication::applicationDirPath() + QDir::separator();

    SetCtLabel(TToolChange::NoDeviceText, TToolChange::NoDeviceColour, true, false);

    resize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());
    CentreOnScreen(this);

    const TUpdaterCheck updater = CheckMinimumVersions();
    FCore->FUpdaterPath = updater.FUpdaterPath;
    FCore->FUpdaterInstalled = updater.FUpdaterInstalled;
    FCore->MinVer = updater.MinVer;
}

void TMainForm::FitClientToDesign()
{
    // The menu bar's height is known only once the window is on screen: grow the window until its client
    // area has the design size, then centre it.
    if (QLayout* l = layout())
        l->activate();
    const QSize missing = (QSize(ClientWidth, ClientHeight) - ScrollBox->size()).expandedTo(QSize(0, 0));
    if (!missing.isNull())
        resize(size() + missing);
    CentreOnScreen(this);
}

void TMainForm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!FShownOnce) {
        FShownOnce = true;
        FitClientToDesign();
    }
}

QString TMainForm::ApplicationTitle() const
{
    return QStringLiteral("Korvane KT610B ") + (FAppVersion.isEmpty() ? QString() : AppVersion + QLatin1Char(' ')) +
           QStringLiteral("ALPHA");
}

void TMainForm::FormActivate()
{
    if (FSetupFormIni) {
        if (ReadPreferences())
            FSetupFormIni = false;
        else
            KvrAddItem(QStringLiteral("Error loading saved settings!"), TKvrItemType::aError);
    }
    if (!AboutDialog)
        return;
    AboutDialog->InfoLabel->setText(QStringLiteral("KT610B GUI ALPHA\nVersion ") + FAppVersion + QLatin1Char('\n') +
                                    MakerLine);
    AboutDialog->SiteLabel->setText(QString::fromLatin1(MakerWebAddress));
    if (FShowTips && !FShownTips) {
        FShownTips = true;
        // Modal, but opened once the activation has been handled and without a nested event loop, so that
        // the start-up goes on (tools are listed, firmware is checked) while the tips are on screen.
        QTimer::singleShot(0, HintTipsForm, [] { HintTipsForm->open(); });
    }
}

// The main window's outer frame as the preferences file stores it.
static TWindowGeometry FrameGeometryOf(const QWidget* window)
{
    const QRect frame = window->frameGeometry();
    return {frame.left(), frame.top(), frame.width(), frame.height(), window->isMaximized()};
}

bool TMainForm::ReadPreferences()
{
    TPreferences preferences(IniFilePath);
    QList<QRect> monitors;
    for (const QScreen* s : QGuiApplication::screens())
        monitors.append(s->geometry());
    TMainFormOptions options;
    std::optional<TWindowGeometry> placement;
    if (!preferences.ReadMainForm(FrameGeometryOf(this), monitors, options, placement))
        return false;
    if (placement) {
        move(placement->Left, placement->Top);
        if (placement->Maximised)
            showMaximized();
        else
            resize(size() + QSize(placement->Width, placement->Height) - frameGeometry().size());
    }
    Showhelphints1->setChecked(options.Hints);
    FShowTips = options.Tips;
    FUpdates = options.Updates;
    FUpdates1 = options.Updates1;
    return true;
}

void TMainForm::WritePreferences()
{
    // Failures are ignored at close.
    TMainFormOptions options;
    options.Hints = Showhelphints1->isChecked();
    options.Tips = FShowTips;
    options.Updates = FUpdates;
    options.Updates1 = FUpdates1;
    TPreferences(IniFilePath).WriteMainForm(FrameGeometryOf(this), options);
}

void TMainForm::FormResize()
{
    if (const QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        const QRect frame = frameGeometry();
        if (area.height() < frame.height() - 10 || area.width() < frame.width() - 10) {
            const QRect inner = geometry();
            setGeometry(area.adjusted(inner.left() - frame.left(), inner.top() - frame.top(),
                                      inner.right() - frame.right(), inner.bottom() - frame.bottom()));
        }
    }
    if (!RePosTimer->isActive())
        RePosTimer->start();
}

void TMainForm::FormClose()
{
    TMainCore& core = *FCore;
    core.FClosing = true;
    if (core.DataLog->FDoLog && SettingsForm)
        SettingsForm->DataLog->LogDataButtonClick();
    Recording->StopRecordingClick();
    const int tools = core.KorvaneDevList1->HidDevices().Count;
    if (core.FIsStreaming && tools > 0) {
        StopScopeTimer();
        core.FIsStreaming = false;
        for (int k = 0; k < tools; ++k) {
            core.KorvaneHidTool1->SetCurrentDevice(k);
            THidDevice* device = core.KorvaneHidTool1->GetCurrentDevice();
            const TStreamingDevices& streaming = core.KorvaneDevList1->StreamingDevices;
            if (std::find(streaming.Device.begin(), streaming.Device.end(), device) != streaming.Device.end()) {
                core.KT880Device1->StopStreaming();
                core.KT880Device1->PowerOff();
            }
        }
    }
    if (core.FEventMode)
        core.KorvaneHidTool1->EventMode(false);
    WritePreferences();
}

void TMainForm::FormDestroy()
{
    if (FResetSizePos && !IniFilePath.isEmpty())
        TPreferences(IniFilePath).Delete();
}

void TMainForm::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TMainForm::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (!FFormClosed) {
        FFormClosed = true;
        FormClose();
        emit FormClosed();
    }
    event->accept();
}

bool TMainForm::HighDensity() const
{
    const QScreen* s = screen();
    return s && s->logicalDotsPerInch() > 96.5;
}

// ---- Message list ----

int TMainForm::KvrAddItem(const QString& item, TKvrItemType itemType)
{
    return MessageBox->KvrAddItem(item, itemType);
}

bool TMainForm::CheckPowerOn()
{
    return FCore->CheckPowerOn();
}

void TMainForm::MessageBoxErrorItem()
{
    SetMessagesPanelColour(QColor(0xFF, 0x5E, 0x5E));
    // An error is always seen.
    if (MessagesCategory->Collapsed())
        MessagesCategory->Expand();
}

void TMainForm::MessageBoxInfoItem()
{
    SetMessagesPanelColour(QColor(0xD5, 0xFF, 0xD5));
}

void TMainForm::SetMessagesPanelColour(const QColor& colour)
{
    QPalette pal = MessagesPanel->palette();
    pal.setColor(QPalette::Window, colour);
    MessagesPanel->setPalette(pal);
}

// ---- Left column ----

void TMainForm::ShowWindowRestored(QWidget* window)
{
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    window->raise();
    window->activateWindow();
}

void TMainForm::SetupButtonClick()
{
    ShowWindowRestored(SettingsForm);
}

void TMainForm::StatisticsClick()
{
    if (!StatisticsWindow)
        StatisticsWindow = new TStatisticsWindow(*FCore, this);
    StatisticsWindow->ShowBeside();
}

void TMainForm::SnrClick()
{
    StatisticsClick();
    StatisticsWindow->SnrButtonClick();
}

void TMainForm::ScopeButtonClick()
{
    ShowWindowRestored(ScopeForm);
}

void TMainForm::StartButtonClick()
{
    FCore->Session->StartButtonClick();
}

void TMainForm::PauseButtonClick()
{
    FCore->Session->PauseButtonClick();
}

void TMainForm::CMTButtonClick()
{
    SetupButtonClick();
    SettingsForm->SelectPage(TSettingsForm::Prox1PageIndex);
}

void TMainForm::ExportHClick()
{
    HeaderExport::ExportHClick(*FCore, AskHFileName);
}

void TMainForm::CtSetupButtonClick()
{
    if (!CtSetupButton->isEnabled() || CtSetupForm->isVisible())
        return;
    CtSetupForm->FSelectedItem = CtSetupForm->FCheckedItem;
    CtSetupForm->DevList->setCurrentRow(CtSetupForm->FCheckedItem);
    CtSetupForm->exec();
}

void TMainForm::ShowSendCommandsButtonClick()
{
    ShowWindowRestored(SendCommands);
    SendCommands->Hook(FCore->KorvaneHidTool1.get());
}

void TMainForm::ToggleEngineering()
{
    if (CtSetupForm->isVisible()) {
        CtSetupForm->ToggleCustomUpdateButton();
        return;
    }
    if (!SettingsForm->IsEngineeringVisible()) {
        SettingsForm->SetEngineeringVisible(true);
        SetupButtonClick();
        SettingsForm->SelectEngineeringPage();
        KvrAddItem(QStringLiteral("Engineering Enabled"), TKvrItemType::aInfo);
        CtSetupForm->Engineering = true;
    } else {
        SettingsForm->SetEngineeringVisible(false);
        if (SettingsForm->IsEngineeringPageCurrent())
            SettingsForm->SelectSetupPage();
        KvrAddItem(QStringLiteral("Engineering Disabled"), TKvrItemType::aInfo);
        CtSetupForm->Engineering = false;
    }
}

// ---- Channel row and relative strip ----

void TMainForm::ArrangeChannelRow()
{
    BarGraph->replot();
    // The offsets are measured from the left edge of a channel's pair of bars as designed, 41 pixels
    // (54 above 96 dpi) left of the channel's position: they centre every control under its bars.
    const bool high = HighDensity();
    const int pairHalf = high ? 54 : 41;
    const int indicator = high ? 28 : 15, label = high ? 46 : 35, check = high ? 45 : 34, values = high ? 25 : 19;
    const int graphLeft = BarGraph->mapTo(BarPanel, QPoint(0, 0)).x() - ChannelRow->x();
    for (int c = 0; c < 4; ++c) {
        const int x = graphLeft + int(BarGraph->xAxis->coordToPixel(c)) - pairHalf;
        CHPTShape[c]->move(x + indicator, CHPTShape[c]->y());
        CHLabel[c]->move(x + label - (CHLabel[c]->width() - 12) / 2, CHLabel[c]->y());
        FCHChecks[c]->move(x + check - (FCHChecks[c]->width() - 14) / 2, FCHChecks[c]->y());
        for (QLabel* v : {CSLbl[c], LTALbl[c], DTLbl[c], TTLbl[c]})
            if (v)
                v->move(x + values, v->y());
    }
    const int step = FCHChecks[1]->x() - FCHChecks[0]->x();
    for (int i = 0; i < 3; ++i)
        Shape[i]->move(FCHChecks[i]->x() + step / 2 + FCHChecks[0]->width() / 2, Shape[i]->y());
    AllCHsCheck->move(ChannelRow->width() - AllCHsCheck->width() - 8, AllCHsCheck->y());
    DrawRelativeStrip();
}

void TMainForm::DrawRelativeStrip()
{
    FMovImageWidth = std::max(MovImage->width(), 16);
    QImage strip(FMovImageWidth, MovImage->height() > 0 ? MovImage->height() : 43, QImage::Format_RGB32);
    strip.fill(QColor(0x00, 0x40, 0x80));
    QPainter p(&strip);
    p.setPen(Qt::black);
    p.drawRect(0, 0, strip.width() - 1, strip.height() - 1);
    FCurMovX = FMovImageWidth / 2 - 3;
    p.fillRect(QRect(FCurMovX, 4, 6, strip.height() - 8), Qt::white);
    p.end();
    MovImage->SetPicture(strip);
}

// ---- IMainView ----

void TMainForm::SetStartCaption(const QString& caption)
{
    StartButton->setText(caption);
}

void TMainForm::SetStartEnabled(bool enabled)
{
    StartButton->setEnabled(enabled);
}

void TMainForm::SetPauseCaption(const QString& caption)
{
    PauseButton->setText(caption);
}

void TMainForm::SetPauseEnabled(bool enabled)
{
    PauseButton->setEnabled(enabled);
}

void TMainForm::SetExportHEnabled(bool enabled)
{
    ExportH->setEnabled(enabled);
}

void TMainForm::SetPowerButtonCaption(const QString& caption)
{
    if (SettingsForm)
        SettingsForm->SetPowerButtonCaption(caption);
}

void TMainForm::SettingsRecordChanged()
{
    if (SettingsForm)
        SettingsForm->SettingsRecordChanged();
}

void TMainForm::TakeSettingsAsApplied()
{
    if (SettingsForm)
        SettingsForm->TakeSettingsAsApplied();
}

void TMainForm::SetSettingsChanged(bool changed)
{
    if (SettingsForm)
        SettingsForm->SetSettingsChanged(changed);
}

void TMainForm::ShowATINotice()
{
    if (SettingsForm)
        SettingsForm->ShowATINotice();
}

void TMainForm::HideATINotice()
{
    if (SettingsForm)
        SettingsForm->HideATINotice();
}

bool TMainForm::ATINoticeVisible() const
{
    return SettingsForm && SettingsForm->ATINoticeVisible();
}

void TMainForm::ShowDataMissed()
{
    if (SettingsForm)
        SettingsForm->ShowDataMissed();
}

void TMainForm::SetForceSleepEnabled(bool enabled)
{
    if (SettingsForm)
        SettingsForm->SetForceSleepEnabled(enabled);
}

bool TMainForm::ForceSleepEnabled() const
{
    return !SettingsForm || SettingsForm->ForceSleepEnabled();
}

void TMainForm::SetLoadSettingsButtonEnabled(bool enabled)
{
    if (SettingsForm)
        SettingsForm->SetLoadSettingsButtonEnabled(enabled);
}

bool TMainForm::LoadSettingsButtonEnabled() const
{
    return SettingsForm && SettingsForm->LoadSettingsButtonEnabled();
}

void TMainForm::SetCalCapWaitVisible(bool visible)
{
    if (SettingsForm)
        SettingsForm->SetCalCapWaitVisible(visible);
}

void TMainForm::SetRegisterBusy(bool busy)
{
    if (SettingsForm)
        SettingsForm->SetRegisterBusy(busy);
}

void TMainForm::SetDeltaCheckEnabled(bool enabled)
{
    if (SettingsForm)
        SettingsForm->SetDeltaCheckEnabled(enabled);
}

void TMainForm::ShowWarning(const QString& text)
{
    QMessageBox::warning(this, windowTitle(), text);
}

void TMainForm::StartBarTimer()
{
    BarTimer->start();
}

void TMainForm::StopBarTimer()
{
    BarTimer->stop();
    // Bars, labels and indicators are left showing the same, last frame.
    LiveDisplay->BarTimerTimer();
}

void TMainForm::StopScopeTimer()
{
    if (ScopeForm)
        ScopeForm->UpdateTimer->stop();
}

void TMainForm::ShowGraphPicture(bool flickLeft, bool flickRight, bool tap)
{
    GraphPicture->Clear();
    const QCPAxis* keys = BarGraph->xAxis;
    const int axisLeft = BarGraph->axisRect()->left();
    auto pixel = [keys](double key) { return int(keys->coordToPixel(key)); };
    if (flickLeft)
        GraphPicture->ShowAt(FlickLeft, pixel(0) - axisLeft - FlickLeft.width() / 2);
    else if (flickRight)
        GraphPicture->ShowAt(FlickRight, pixel(3) - axisLeft - 2 * (FlickRight.width() / 2));
    else if (tap)
        GraphPicture->ShowAt(TapPng, pixel(1) + (pixel(2) - pixel(1)) / 2 - axisLeft - TapPng.width() / 2);
    BarGraph->replot();
}

void TMainForm::ShowWaitPicture()
{
    GraphPicture->ShowCentred(WaitText);
    BarGraph->replot();
}

void TMainForm::ClearBarSeries()
{
    static_cast<TColourBars*>(Series1)->Clear();
    static_cast<TColourBars*>(Series2)->Clear();
}

void TMainForm::ShowErrorBox(const QString& text)
{
    QMessageBox::critical(this, windowTitle(), text);
}

uint8_t TMainForm::ShowStartupChooser()
{
    return StartupForm ? StartupForm->Execute() : TStartupForm::DefaultSetup;
}

void TMainForm::SetAckResetEnabled(bool enabled)
{
    AckResetButton->setEnabled(enabled);
}

bool TMainForm::AckResetEnabled() const
{
    return AckResetButton->isEnabled();
}

void TMainForm::SetVersionLabel(const QString& text)
{
    VersionLbl->setText(text);
}

void TMainForm::SetCtLabel(const QString& text, uint32_t colour, bool bold, bool struckOut)
{
    CtLabel->setText(text);
    QFont f = CtLabel->font();
    f.setBold(bold);
    f.setStrikeOut(struckOut);
    CtLabel->setFont(f);
    QPalette pal = CtLabel->palette();
    pal.setColor(QPalette::WindowText, Rgb(colour));
    CtLabel->setPalette(pal);
}

void TMainForm::SetCtLabelHint(const QString& hint)
{
    CtLabel->setToolTip(hint);
}

void TMainForm::SetCtPanelColour(uint32_t colour)
{
    QPalette pal = CtPanel->palette();
    pal.setColor(QPalette::Window, Rgb(colour));
    CtPanel->setPalette(pal);
}

void TMainForm::SetCtSetupButtonEnabled(bool enabled)
{
    CtSetupButton->setEnabled(enabled);
}

bool TMainForm::CtSetupButtonEnabled() const
{
    return CtSetupButton->isEnabled();
}

void TMainForm::UpdateCtSetupList()
{
    if (CtSetupForm)
        CtSetupForm->UpdateList();
}

void TMainForm::ClearCtSetupList()
{
    if (CtSetupForm)
        CtSetupForm->ClearList();
}

bool TMainForm::ToolFirmwareOutdated() const
{
    return CtSetupForm && CtSetupForm->FOutdated;
}

bool TMainForm::ToolUpdateRecommended() const
{
    return CtSetupForm && CtSetupForm->UpdatePref && FUpdates;
}

bool TMainForm::AskFirmwarePrompt(bool outdated)
{
    const auto buttons = QMessageBox::Ok | QMessageBox::Cancel;
    if (outdated)
        return QMessageBox::warning(this, windowTitle(),
                                    QStringLiteral("The connected Configuration Tool's firmware is outdated and "
                                                   "requires and update.\n\nClick 'Ok' to open the Configuration "
                                                   "Tool Setup window."),
                                    buttons) == QMessageBox::Ok;
    return QMessageBox::information(this, windowTitle(),
                                    QStringLiteral("The connected Configuration Tool's firmware has got some minor "
                                                   "updates.  It is recommended that you update to the latest "
                                                   "version.\n\nClick 'Ok' to open the Configuration Tool Setup "
                                                   "window."),
                                    buttons) == QMessageBox::Ok;
}

void TMainForm::ShowCtSetup()
{
    ShowWindowRestored(CtSetupForm);
}

void TMainForm::FrameDecoded()
{
    LiveDisplay->FrameDecoded();
}

void TMainForm::WheelPosition(int percent)
{
    LiveDisplay->WheelPosition(percent);
}

void TMainForm::MoveRelativeMarker(int step)
{
    LiveDisplay->MoveRelativeMarker(step);
}

void TMainForm::SetChannel0Label(const QString& text)
{
    LiveDisplay->SetChannel0Label(text);
}

void TMainForm::ResetLiveDisplay()
{
    LiveDisplay->ResetLiveDisplay();
}

void TMainForm::SetChannelEmpty(int channel)
{
    LiveDisplay->SetChannelEmpty(channel);
}

void TMainForm::Delta()
{
    LiveDisplay->Delta();
}

void TMainForm::CheckActiveChannels()
{
    if (ScopeForm)
        ScopeForm->CheckActiveChannels();
}
