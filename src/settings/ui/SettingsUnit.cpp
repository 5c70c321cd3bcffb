// The settings window's frame: navigation column, page header, command rows, bottom bar, the page switch and
// the window's life cycle. The pages are built in SettingsPagesUi.cpp, Apply and the buttons that talk to the
// chip are in SettingsApply.cpp.
#include "settings/ui/SettingsUnit.h"

#include "app/MainCore.h"
#include "app/ui/AppForms.h"
#include "app/ui/MainUnit.h"
#include "hid/VirtualHidBackend.h"
#include "persist/Preferences.h"
#include "persist/SettingsFile.h"
#include "persist/ui/DataLogPage.h"
#include "settings/RegisterOperations.h"
#include "settings/ui/FormGeometry.h"
#include "settings/ui/GraphAxis.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QString GeometrySection = QString::fromLatin1(TPreferences::SettingsSection);
const QString DiscardQuestion =
    QStringLiteral("Changes were made to the settings. Do you want to discard these changes?");
const QColor CleanPanel(0xCE, 0xCE, 0xCE);
const QColor UndoPanel(0xFF, 0x00, 0x00);
const QColor ApplyPanelColour(0x00, 0xC0, 0x00);
constexpr int CaptionMargin = 10; // pixels between a button's caption and its edges

struct TPageInfo {
    int Index;
    const char* ButtonName;
    const char* Caption;
    const char* Header;
    bool CommandRows;
};

// The navigation buttons, top to bottom.
const TPageInfo PageTable[] = {
    {spSetup, "SetupNavButton", "Setup", "Setup", false},
    {spSysFlags, "SysFlagsNavButton", "System Flags", "System Flags (0x01)", true},
    {spProx0, "ProxSettings0Button", "Prox Settings 0", "Prox Settings 0 (0x09 Byte0)", true},
    {spProx1, "ProxSettings1Button", "Prox Settings 1", "Prox Settings 1 (0x09 Byte1)", true},
    {spProx2, "ProxSettings2Button", "Prox Settings 2", "Prox Settings 2 (0x09 Byte2)", true},
    {spProx3, "ProxSettings3Button", "Prox Settings 3", "Prox Settings 3 (0x09 Byte3)", true},
    {spEvents, "EventMaskNavButton", "Event Mask", "Event Mask (0x09 Byte4)", true},
    {spMultComp, "MultCompNavButton", "Multipliers && Compensation", "Multipliers & Compensation (0x07 - 0x08)", true},
    {spThr, "ThresholdsNavButton", "Thresholds", "Thresholds (0x0A)", true},
    {spTimings, "TimingsNavButton", "Timings, Targets && Gestures", "Timings, Targets & Deltas (0x0B - 0x0C)", true},
    {spDataLog, "DataLogNavButton", "Data Logging", "Data Logging", false},
    {spEngineering, "EngineeringNavButton", "Engineering", "Engineering", true},
};

const TPageInfo& PageInfo(int page)
{
    for (const TPageInfo& p : PageTable)
        if (p.Index == page)
            return p;
    return PageTable[0];
}

void SetPanelColour(QFrame* panel, const QColor& colour)
{
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, colour);
    panel->setPalette(pal);
}

QFrame* ColouredPanel(QWidget* parent, const QString& name, QPushButton* button)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(panel);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(button);
    SetPanelColour(panel, CleanPanel);
    return panel;
}

} // namespace

TSettingsForm::TSettingsForm(QWidget* parent)
    : QWidget(parent, Qt::Window),
      FOwnCore(MainForm ? nullptr : std::make_unique<TMainCore>(std::make_shared<VirtualHidBackend>(), nullptr, nullptr)),
      FCore(MainForm ? MainForm->Core() : *FOwnCore)
{
    Create();
    OnShowSendCommands = [] {
        if (MainForm)
            MainForm->ShowSendCommandsButtonClick();
    };
    OnSetGraphAxis = [](int minimum, int maximum, int increment) {
        if (MainForm)
            SetBarGraphAxis(*MainForm, minimum, maximum, increment);
    };
}

TSettingsForm::TSettingsForm(TMainCore& core, QWidget* parent) : QWidget(parent, Qt::Window), FCore(core)
{
    Create();
}

TSettingsForm::~TSettingsForm()
{
    if (FFormActivated)
        FormGeometry::WriteGeometry(this, GeometrySection); // errors are ignored
}

TSettingsRecord& TSettingsForm::Settings() const
{
    return FCore.Settings;
}

void TSettingsForm::Create()
{
    setObjectName(QStringLiteral("SettingsForm"));
    setWindowTitle(QStringLiteral("Settings"));
    AskYesNo = [this](const QString& text) {
        return QMessageBox::warning(this, QStringLiteral("Warning"), text, QMessageBox::Yes | QMessageBox::No,
                                    QMessageBox::No) == QMessageBox::Yes;
    };

    auto* column = new QVBoxLayout;
    CreateNavColumn(column);
    FNavColumn = new QWidget(this);
    FNavColumn->setObjectName(QStringLiteral("NavPanel"));
    FNavColumn->setLayout(column);
    // Wide enough for the ATI notice's buttons inside the notice's frame and margins.
    const QMargins outer = column->contentsMargins(), inner = ATIErrorPanel->layout()->contentsMargins();
    const int notice = UpdateAllSettings->minimumWidth() + inner.left() + inner.right() +
                       2 * ATIErrorPanel->frameWidth() + outer.left() + outer.right();
    FNavColumn->setFixedWidth(std::max(212, notice));

    SetupPageHeader = new QLabel(this);
    SetupPageHeader->setObjectName(QStringLiteral("SetupPageHeader"));
    QFont headerFont = SetupPageHeader->font();
    headerFont.setPointSize(headerFont.pointSize() + 4);
    headerFont.setBold(true);
    SetupPageHeader->setFont(headerFont);
    PageControl = new QStackedWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));

    CreateSetupPage();
    CreateRadioPage(spSysFlags, QStringLiteral("SysFlagsPage"),
                    {QStringLiteral("ProjectedRiadioGroup"), QStringLiteral("IgnoreFHRadioGroup")}, 3);
    QVBoxLayout* prox0 = CreateRadioPage(spProx0, QStringLiteral("Prox0Page"),
                                         {QStringLiteral("ATIRadio"), QStringLiteral("ATIPartialRadio"),
                                          QStringLiteral("BandRadio"), QStringLiteral("StreamATIRadio"),
                                          QStringLiteral("En4MhzRadio"), QStringLiteral("ForceHaltRadio")}, 3);
    RedoATIButton = Button(QStringLiteral("RedoATIButton"), QStringLiteral("Redo ATI"));
    ReseedButton = Button(QStringLiteral("ReseedButton"), QStringLiteral("Reseed"));
    AddButtonRow(prox0, {RedoATIButton, ReseedButton});
    CreateRadioPage(spProx1, QStringLiteral("Prox1Page"),
                    {QStringLiteral("WDTRadio"), QStringLiteral("CommsModeRadio"), QStringLiteral("LTABetaRadio"),
                     QStringLiteral("SliderRadio"), QStringLiteral("ACFRadio")}, 3);
    QVBoxLayout* prox2 = CreateRadioPage(spProx2, QStringLiteral("Prox2Page"),
                                         {QStringLiteral("SleepHaltRadio"), QStringLiteral("WakeRadio"),
                                          QStringLiteral("WheelFilterRadio"), QStringLiteral("MovementRadio"),
                                          QStringLiteral("OutRadio")}, 3);
    ForceSleepButton = Button(QStringLiteral("ForceSleepButton"), QStringLiteral("Force Sleep"));
    AddButtonRow(prox2, {ForceSleepButton});
    CreateRadioPage(spProx3, QStringLiteral("Prox3Page"),
                    {QStringLiteral("TDebounceRadio"), QStringLiteral("OffModeRadio"),
                     QStringLiteral("ProjectedBiasRadio"), QStringLiteral("FloatCXRadio"),
                     QStringLiteral("HaltChargeRadio"), QStringLiteral("TurboRadio"),
                     QStringLiteral("FilterTouchRadio"), QStringLiteral("XferRadio")}, 3);
    CreateRadioPage(spEvents, QStringLiteral("EventsPage"),
                    {QStringLiteral("FlickRightRadio"), QStringLiteral("FlickLeftRadio"), QStringLiteral("TapRadio"),
                     QStringLiteral("MovRadio"), QStringLiteral("ATIEventRadio"), QStringLiteral("SliderEventRadio"),
                     QStringLiteral("TouchRadio"), QStringLiteral("ProxRadio")}, 4);
    connect(RedoATIButton, &QPushButton::clicked, this, &TSettingsForm::RedoATIButtonClick);
    connect(ReseedButton, &QPushButton::clicked, this, &TSettingsForm::ReseedButtonClick);
    connect(ForceSleepButton, &QPushButton::clicked, this, &TSettingsForm::ForceSleepButtonClick);
    CreateMultCompPage();
    CreateThrPage();
    CreateTimingsPage();
    DataLogPage = AddPage(spDataLog, QStringLiteral("DataLogPage"));
    DataLog = new TDataLogPage(*this, FCore, DataLogPage);
    CreateEngineeringPage();

    StringGrid1 = new QTableWidget(2, 10, this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    QStringList headers{QStringLiteral("Address"), QStringLiteral("Length")};
    for (int i = 0; i < 8; ++i)
        headers << QStringLiteral("Data%1").arg(i);
    StringGrid1->setHorizontalHeaderLabels(headers);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setDefaultSectionSize(20);
    StringGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionMode(QAbstractItemView::NoSelection);
    StringGrid1->setFocusPolicy(Qt::NoFocus);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setFixedHeight(StringGrid1->horizontalHeader()->sizeHint().height() + 2 * 20 + 4);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 10; ++c) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            StringGrid1->setItem(r, c, item);
        }

    auto* pageArea = new QVBoxLayout;
    pageArea->addWidget(SetupPageHeader);
    pageArea->addWidget(PageControl, 1);
    pageArea->addWidget(StringGrid1);
    pageArea->addWidget(CreateBottomBar());
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(FNavColumn);
    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::VLine);
    divider->setFrameShadow(QFrame::Sunken);
    layout->addWidget(divider);
    layout->addLayout(pageArea, 1);

    SetDeltaCheckEnabled((FCore.StreamSetup.CSActive && FCore.StreamSetup.LTAActive) || FCore.StreamSetup.DeltasActive);
    FillFromRecord();
    ShowPage(SetupPageIndex);
    resize(900, 660);
}

void TSettingsForm::CreateNavColumn(QVBoxLayout* column)
{
    auto* group = new QButtonGroup(this);
    group->setExclusive(true);
    for (const TPageInfo& p : PageTable) {
        if (p.Index == spDataLog) {
            auto* divider = new QFrame(this);
            divider->setObjectName(QStringLiteral("NavDivider"));
            divider->setFrameShape(QFrame::HLine);
            divider->setFrameShadow(QFrame::Sunken);
            column->addWidget(divider);
        }
        auto* b = new QPushButton(QString::fromLatin1(p.Caption), this);
        b->setObjectName(QString::fromLatin1(p.ButtonName));
        b->setCheckable(true);
        b->setMinimumHeight(26);
        group->addButton(b);
        column->addWidget(b);
        const int page = p.Index;
        connect(b, &QPushButton::clicked, this, [this, page] { NavButtonClick(page); });
        FNavButtons[page] = b;
    }
    SetupNavButton = FNavButtons[spSetup];
    EngineeringNavButton = FNavButtons[spEngineering];
    EngineeringNavButton->hide();
    column->addSpacing(8);

    ATIErrorPanel = new QFrame(this);
    ATIErrorPanel->setObjectName(QStringLiteral("ATIErrorPanel"));
    ATIErrorPanel->setFrameShape(QFrame::StyledPanel);
    ATIErrorLabel = new QLabel(
        QStringLiteral("The KT610 Auto ATI occurred and these settings might not be accurate in relation to the chip"),
        ATIErrorPanel);
    ATIErrorLabel->setWordWrap(true);
    // A wrapped label in a fixed-width column does not ask for its height: give it the room of its lines.
    const QRect text = ATIErrorLabel->fontMetrics().boundingRect(QRect(0, 0, 180, 1000), Qt::TextWordWrap,
                                                                 ATIErrorLabel->text());
    ATIErrorLabel->setMinimumHeight(text.height() + 4);
    ATIErrorLabel->setStyleSheet(QStringLiteral("color: #C00000;"));
    UpdateAllSettings = Button(QStringLiteral("UpdateAllSettings"), QStringLiteral("Update all settings from chip"));
    IgnoreButton = Button(QStringLiteral("IgnoreButton"), QStringLiteral("Ignore"));
    auto* ati = new QVBoxLayout(ATIErrorPanel);
    ati->setContentsMargins(6, 6, 6, 6);
    ati->addWidget(ATIErrorLabel);
    ati->addWidget(UpdateAllSettings);
    ati->addWidget(IgnoreButton);
    ATIErrorPanel->hide();

    ReadAllPanel = new QFrame(this);
    ReadAllPanel->setObjectName(QStringLiteral("ReadAllPanel"));
    UpdateAllSettings2 = Button(QStringLiteral("UpdateAllSettings2"), QStringLiteral("Update all settings from chip"));
    auto* readAll = new QVBoxLayout(ReadAllPanel);
    readAll->setContentsMargins(0, 0, 0, 0);
    readAll->addWidget(UpdateAllSettings2);
    connect(UpdateAllSettings, &QPushButton::clicked, this, &TSettingsForm::UpdateAllSettingsClick);
    connect(UpdateAllSettings2, &QPushButton::clicked, this, &TSettingsForm::UpdateAllSettingsClick);
    connect(IgnoreButton, &QPushButton::clicked, this, &TSettingsForm::IgnoreButtonClick);
    column->addWidget(ATIErrorPanel);
    column->addWidget(ReadAllPanel);
    column->addStretch(1);

    auto* opacity = new QLabel(QStringLiteral("Settings window opacity:"), this);
    JvTracker1 = new QSlider(Qt::Horizontal, this);
    JvTracker1->setObjectName(QStringLiteral("JvTracker1"));
    JvTracker1->setRange(20, 100);
    JvTracker1->setValue(100);
    JvTracker1->setToolTip(QStringLiteral("Adjust the opacity of the settings window."));
    connect(JvTracker1, &QSlider::valueChanged, this, [this](int value) {
        // round(value x 2.55) in whole numbers: 2.55 has no exact binary form.
        FAlphaBlendValue = (value * 255 + 50) / 100;
        setWindowOpacity(FAlphaBlendValue / 255.0);
    });
    column->addWidget(opacity);
    column->addWidget(JvTracker1);
}

QWidget* TSettingsForm::CreateBottomBar()
{
    auto* bar = new QWidget(this);
    ErrorLabel = new QLabel(QStringLiteral("Could not update settings"), bar);
    ErrorLabel->setObjectName(QStringLiteral("ErrorLabel"));
    ErrorLabel->setStyleSheet(QStringLiteral("color: #FF0000; font-weight: bold;"));
    ErrorLabel->hide();
    ChangeLabel = new QLabel(QStringLiteral("Changes not yet applied..."), bar);
    ChangeLabel->setObjectName(QStringLiteral("ChangeLabel"));
    ChangeLabel->setStyleSheet(QStringLiteral("color: #008000; font-weight: bold;"));
    ChangeLabel->hide();

    CancelButton = Button(QStringLiteral("CancelButton"), QStringLiteral("Undo"));
    ApplyButton = Button(QStringLiteral("ApplyButton"), QStringLiteral("Apply"));
    CloseButton = Button(QStringLiteral("CloseButton"), QStringLiteral("Close"));
    for (QPushButton* b : {CancelButton, ApplyButton, CloseButton})
        b->setMinimumWidth(84);
    CancelButton->setEnabled(false);
    ApplyButton->setEnabled(false);
    CancelPanel = ColouredPanel(bar, QStringLiteral("CancelPanel"), CancelButton);
    ApplyPanel = ColouredPanel(bar, QStringLiteral("ApplyPanel"), ApplyButton);
    connect(CancelButton, &QPushButton::clicked, this, &TSettingsForm::CancelButtonClick);
    connect(ApplyButton, &QPushButton::clicked, this, &TSettingsForm::ApplyButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &TSettingsForm::CloseButtonClick);

    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ErrorLabel);
    layout->addWidget(ChangeLabel);
    layout->addStretch(1);
    layout->addWidget(CancelPanel);
    layout->addWidget(ApplyPanel);
    layout->addSpacing(12);
    layout->addWidget(CloseButton);
    return bar;
}

QWidget* TSettingsForm::AddPage(int index, const QString& name)
{
    auto* page = new QWidget(PageControl);
    page->setObjectName(name);
    PageControl->addWidget(page);
    FPages[index] = page;
    return page;
}

QPushButton* TSettingsForm::Button(const QString& name, const QString& caption)
{
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    // Air on both sides of the caption, whatever padding the style gives.
    b->setMinimumWidth(b->fontMetrics().horizontalAdvance(caption) + 2 * CaptionMargin);
    return b;
}

// ---- Page switch ----------------------------------------------------------------------------------------

void TSettingsForm::NavButtonClick(int page)
{
    if (!FPages.count(page))
        return;
    // A parasitic-capacitance measurement moves the tracked page itself: the pages wait for its end.
    if (page == FShownPage || FCore.RegOps->CalCapRunning()) {
        FNavButtons[FShownPage]->setChecked(true);
        return;
    }
    if (FUndoEnabled) {
        if (!AskYesNo(DiscardQuestion)) {
            FNavButtons[FShownPage]->setChecked(true);
            return;
        }
        CancelButtonClick();
    }
    ShowPage(page);
}

void TSettingsForm::ShowPage(int page)
{
    FShownPage = page;
    PageControl->setCurrentWidget(FPages[page]);
    FNavButtons[page]->setChecked(true);
    TSettingsPages& pages = FCore.Pages;
    pages.FActivePage = page;
    pages.Snapshot(page);
    pages.CheckChanges();
    const TPageInfo& info = PageInfo(page);
    SetupPageHeader->setText(QString::fromLatin1(info.Header));
    StringGrid1->setVisible(info.CommandRows);
    SyncChangeState();
}

void TSettingsForm::SetEngineeringVisible(bool visible)
{
    EngineeringNavButton->setVisible(visible);
}

bool TSettingsForm::IsEngineeringVisible() const
{
    return !EngineeringNavButton->isHidden();
}

// ---- Change state ---------------------------------------------------------------------------------------

void TSettingsForm::SyncChangeState()
{
    SetSettingsChanged(FCore.Pages.Changed());
}

void TSettingsForm::SetSettingsChanged(bool changed)
{
    if (changed == FUndoEnabled)
        return;
    FUndoEnabled = changed;
    CancelButton->setEnabled(changed);
    ApplyButton->setEnabled(changed);
    SetPanelColours(changed);
    if (changed)
        ShowChange(QStringLiteral("Changes not yet applied..."));
    else
        ChangeLabel->hide();
}

void TSettingsForm::SetPanelColours(bool dirty)
{
    SetPanelColour(CancelPanel, dirty ? UndoPanel : CleanPanel);
    SetPanelColour(ApplyPanel, dirty ? ApplyPanelColour : CleanPanel);
}

void TSettingsForm::ShowError(const QString& text)
{
    ChangeLabel->hide();
    ErrorLabel->setText(text);
    ErrorLabel->show();
}

void TSettingsForm::ShowChange(const QString& text)
{
    ErrorLabel->hide();
    ChangeLabel->setText(text);
    ChangeLabel->show();
}

// ---- What the core asks of the window -------------------------------------------------------------------

void TSettingsForm::SettingsRecordChanged()
{
    ++FRecordFills;
    FillFromRecord();
}

void TSettingsForm::TakeSettingsAsApplied()
{
    FillFromRecord();
    ResetDefault();
}

void TSettingsForm::ShowATINotice()
{
    ReadAllPanel->hide();
    ATIErrorPanel->show();
}

void TSettingsForm::HideATINotice()
{
    ATIErrorPanel->hide();
    ReadAllPanel->show();
}

bool TSettingsForm::ATINoticeVisible() const
{
    return !ATIErrorPanel->isHidden();
}

void TSettingsForm::ShowDataMissed()
{
    DataMissLabel->show();
}

void TSettingsForm::SetForceSleepEnabled(bool enabled)
{
    ForceSleepButton->setEnabled(enabled);
}

bool TSettingsForm::ForceSleepEnabled() const
{
    // Its own state, whatever a waiting operation does to the page around it.
    return !ForceSleepButton->testAttribute(Qt::WA_ForceDisabled);
}

void TSettingsForm::SetPowerButtonCaption(const QString& caption)
{
    PowerButton->setText(caption);
}

void TSettingsForm::SetLoadSettingsButtonEnabled(bool enabled)
{
    FLoadSettingsEnabled = enabled;
    if (LoadSettingsButton)
        LoadSettingsButton->setEnabled(enabled);
}

bool TSettingsForm::LoadSettingsButtonEnabled() const
{
    return FLoadSettingsEnabled;
}

void TSettingsForm::SetCalCapWaitVisible(bool visible)
{
    Label39->setVisible(visible);
}

void TSettingsForm::SetRegisterBusy(bool busy)
{
    // Nothing may start a second operation while one waits; Close stays available.
    for (QWidget* w : {FNavColumn, static_cast<QWidget*>(PageControl), static_cast<QWidget*>(CancelPanel),
                       static_cast<QWidget*>(ApplyPanel)})
        w->setEnabled(!busy);
}

// ---- Window life cycle ----------------------------------------------------------------------------------

void TSettingsForm::FormActivate()
{
    FFormActivated = true;
    if (FSetupFormIni) {
        FSetupFormIni = false;
        if (!FormGeometry::ReadGeometry(this, GeometrySection))
            FCore.KvrAddItem(QString::fromLatin1(TPreferences::LoadErrorText), TKvrItemType::aError);
    }
    CloseButton->setFocus();
    if (FDoActivate)
        TakeActivationSnapshot();
}

void TSettingsForm::TakeActivationSnapshot()
{
    FDoActivate = false;
    FNavButtons[FShownPage]->setChecked(true);
    FCore.Pages.FActivePage = FShownPage;
    FCore.Pages.Snapshot(FShownPage);
    FCore.Pages.CheckChanges();
    SyncChangeState();
}

void TSettingsForm::SelectPageForEdit(int index)
{
    if (FDoActivate)
        TakeActivationSnapshot();
    SelectPage(index);
}

void TSettingsForm::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TSettingsForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (FRunLTApply) {
        FRunLTApply = false;
        move(FRunPos);
    }
}

void TSettingsForm::CloseButtonClick()
{
    close();
}

void TSettingsForm::closeEvent(QCloseEvent* event)
{
    if (FUndoEnabled) {
        if (!AskYesNo(DiscardQuestion)) {
            event->ignore();
            return;
        }
        CancelButtonClick();
    }
    RememberPosition();
    FDoActivate = true;
    event->accept();
}

void TSettingsForm::RememberPosition()
{
    FRunPos = pos();
    FRunLTApply = true;
}

bool TSettingsForm::eventFilter(QObject* watched, QEvent* event)
{
    // "Some Data Missed" goes away when clicked.
    if (watched == DataMissLabel && event->type() == QEvent::MouseButtonPress) {
        DataMissLabel->hide();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
