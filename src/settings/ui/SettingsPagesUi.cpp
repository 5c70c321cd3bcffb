// The settings window's pages and the binding of their controls to the settings record. Captions, item
// lists, ranges and steps come from the register map and the record's control table.
#include "app/MainCore.h"
#include "app/SessionControl.h"
#include "settings/RegisterMap.h"
#include "settings/RegisterOperations.h"
#include "settings/ui/HexValidator.h"
#include "settings/ui/KvrRadioGroup.h"
#include "settings/ui/SettingsUnit.h"
#include "settings/ui/SpinTrackPair.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace KT610B;

namespace {

const QColor GroupBackground[2] = {QColor(0xF3, 0xF7, 0xFD), QColor(0xFD, 0xFB, 0xEF)};
const QColor BandBlue(0x00, 0x00, 0xC0);

QLabel* Centred(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

constexpr int CellWidth = 64; // one column per channel, aligned across the multipliers page's groups
constexpr int RowCaptionWidth = 56;

QGridLayout* GroupGrid(QGroupBox* group)
{
    auto* grid = new QGridLayout(group);
    grid->setContentsMargins(8, 6, 8, 6);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    return grid;
}

// Spin, unit, tracker and value columns of a group of pairs: the tracker takes the room.
void StretchTrack(QGridLayout* grid)
{
    grid->setColumnStretch(3, 1);
}

} // namespace

// ---- Binding ---------------------------------------------------------------------------------------------

void TSettingsForm::Edited(const std::function<void()>& write, const std::function<void()>& change)
{
    if (FFilling)
        return;
    write();
    if (change)
        change();
    SyncChangeState();
}

void TSettingsForm::FillFromRecord()
{
    FFilling = true;
    for (const auto& fill : FFills)
        fill();
    FFilling = false;
}

TKvrRadioGroup* TSettingsForm::BoundRadio(const QString& name, const std::function<void()>& change)
{
    const TRegisterField* f = FindRegisterField(name);
    const TSettingsRecord::TControlInfo* c = TSettingsRecord::FindControl(name);
    Q_ASSERT(f && c && c->Int);
    auto* g = new TKvrRadioGroup(f ? f->Caption : name, c ? c->Items : QStringList(), this);
    g->setObjectName(name);
    if (!c || !c->Int)
        return g;
    const auto field = c->Int;
    FFills.push_back([this, g, field] { g->SetItemIndex(Settings().*field); });
    connect(g, &TKvrRadioGroup::Click, this,
            [this, field, change](int index) { Edited([&] { Settings().*field = index; }, change); });
    return g;
}

QComboBox* TSettingsForm::BoundCombo(const QString& name, const std::function<void()>& change)
{
    const TSettingsRecord::TControlInfo* c = TSettingsRecord::FindControl(name);
    Q_ASSERT(c && c->Int);
    auto* combo = new QComboBox(this);
    combo->setObjectName(name);
    if (!c || !c->Int)
        return combo;
    combo->addItems(c->Items);
    const auto field = c->Int;
    FFills.push_back([this, combo, field] { combo->setCurrentIndex(Settings().*field); });
    connect(combo, &QComboBox::currentIndexChanged, this,
            [this, field, change](int index) { Edited([&] { Settings().*field = index; }, change); });
    return combo;
}

QCheckBox* TSettingsForm::BoundCheck(const QString& name, const QString& caption, const std::function<void()>& change)
{
    const TSettingsRecord::TControlInfo* c = TSettingsRecord::FindControl(name);
    Q_ASSERT(c && c->Bool);
    auto* check = new QCheckBox(caption, this);
    check->setObjectName(name);
    if (!c || !c->Bool)
        return check;
    const auto field = c->Bool;
    FFills.push_back([this, check, field] { check->setChecked(Settings().*field); });
    connect(check, &QCheckBox::toggled, this,
            [this, field, change](bool on) { Edited([&] { Settings().*field = on; }, change); });
    return check;
}

QSpinBox* TSettingsForm::BoundSpin(const QString& name, const std::function<void()>& change)
{
    const TSettingsRecord::TControlInfo* c = TSettingsRecord::FindControl(name);
    Q_ASSERT(c && c->Int);
    auto* spin = new QSpinBox(this);
    spin->setObjectName(name);
    spin->setMinimumWidth(64);
    if (!c || !c->Int)
        return spin;
    spin->setRange(c->Min, c->Max);
    spin->setSingleStep(c->Step);
    const auto field = c->Int;
    FFills.push_back([this, spin, field] { spin->setValue(Settings().*field); });
    connect(spin, &QSpinBox::valueChanged, this,
            [this, field, change](int value) { Edited([&] { Settings().*field = value; }, change); });
    return spin;
}

TSpinTrackPair* TSettingsForm::BoundPair(const QString& name, const QString& trackName,
                                         const std::function<void()>& change)
{
    const TSettingsRecord::TControlInfo* c = TSettingsRecord::FindControl(name);
    Q_ASSERT(c && c->Int);
    auto* pair = new TSpinTrackPair(this, name, trackName, c ? c->Min : 0, c ? c->Max : 255, c ? c->Step : 1);
    if (!c || !c->Int)
        return pair;
    const auto field = c->Int;
    FFills.push_back([this, pair, field] { pair->SetValue(Settings().*field); });
    connect(pair, &TSpinTrackPair::ValueEdited, this,
            [this, field, change](int value) { Edited([&] { Settings().*field = value; }, change); });
    return pair;
}

QLineEdit* TSettingsForm::BoundEdit(const QString& name, bool readOnly)
{
    const TSettingsRecord::TControlInfo* c = TSettingsRecord::FindControl(name);
    Q_ASSERT(c && c->Text);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(name);
    edit->setReadOnly(readOnly);
    if (!c || !c->Text)
        return edit;
    const auto field = c->Text;
    FFills.push_back([this, edit, field] {
        if (edit->text() != Settings().*field)
            edit->setText(Settings().*field);
    });
    if (!readOnly)
        connect(edit, &QLineEdit::textChanged, this,
                [this, field](const QString& text) { Edited([&] { Settings().*field = text; }, nullptr); });
    return edit;
}

QLineEdit* TSettingsForm::HexEdit(const QString& name)
{
    QLineEdit* edit = BoundEdit(name, false);
    edit->setMaxLength(2);
    edit->setValidator(new THexValidator(2, edit));
    edit->setFixedWidth(44);
    return edit;
}

void TSettingsForm::AddButtonRow(QVBoxLayout* layout, const std::vector<QPushButton*>& buttons)
{
    auto* row = new QHBoxLayout;
    for (QPushButton* b : buttons) {
        b->setMinimumWidth(100);
        row->addWidget(b);
    }
    row->addStretch(1);
    layout->insertLayout(layout->count() - 1, row); // above the closing stretch
}

// ---- Pages -----------------------------------------------------------------------------------------------

QVBoxLayout* TSettingsForm::CreateRadioPage(int page, const QString& name, const QStringList& controls, int columns)
{
    TSettingsPages& pages = FCore.Pages;
    std::function<void()> change;
    switch (page) {
    case spSysFlags: change = [&pages] { pages.SysChecksChangeClick(); }; break;
    case spProx0: change = [&pages] { pages.Prox0Change(); }; break;
    case spProx1: change = [&pages] { pages.Prox1Change(); }; break;
    case spProx2: change = [&pages] { pages.Prox2Change(); }; break;
    case spProx3: change = [&pages] { pages.Prox3Change(); }; break;
    default: change = [&pages] { pages.EventChange(); }; break;
    }
    QWidget* w = AddPage(page, name);
    auto* grid = new QGridLayout;
    grid->setSpacing(8);
    for (int i = 0; i < controls.size(); ++i) {
        TKvrRadioGroup* g = BoundRadio(controls[i], change);
        g->SetBackground(GroupBackground[i % 2]);
        if (controls[i] == QLatin1String("BandRadio")) {
            g->SetHeaderFont(g->HeaderFont(), BandBlue);
            g->SetItemsFont(g->ItemsFont(), BandBlue);
        }
        grid->addWidget(g, i / columns, i % columns);
    }
    for (int c = 0; c < columns; ++c)
        grid->setColumnStretch(c, 1);
    auto* layout = new QVBoxLayout(w);
    layout->addLayout(grid);
    layout->addStretch(1);
    return layout;
}

void TSettingsForm::CreateSetupPage()
{
    QWidget* w = AddPage(spSetup, QStringLiteral("SetupPage"));
    TSettingsPages& pages = FCore.Pages;
    const auto stream = [this] { FCore.StreamSetup.StreamChangeClick(); };
    const auto checks = [&pages] { pages.SetupChecksChangeClick(); };

    auto* streaming = new QGroupBox(QStringLiteral("Streaming Setup"), w);
    auto* streamLayout = new QVBoxLayout(streaming);
    WheelCheck = BoundCheck(QStringLiteral("WheelCheck"), QStringLiteral("Wheel / Slider Coordinates"), stream);
    PTCheck = BoundCheck(QStringLiteral("PTCheck"), QStringLiteral("Prox && Touch"), stream);
    CSCheck = BoundCheck(QStringLiteral("CSCheck"), QStringLiteral("Count Samples"), stream);
    LTACheck = BoundCheck(QStringLiteral("LTACheck"), QStringLiteral("Long Term Averages (LTA)"), stream);
    DeltaStrCheck = BoundCheck(QStringLiteral("DeltaStrCheck"), QStringLiteral("Deltas"), stream);
    DeltaStrCheck->hide();
    for (QCheckBox* c : {WheelCheck, PTCheck, CSCheck, LTACheck, DeltaStrCheck})
        streamLayout->addWidget(c);

    auto* dongle = new QGroupBox(QStringLiteral("USB Dongle"), w);
    auto* dongleLayout = new QHBoxLayout(dongle);
    VoltageCombo = BoundCombo(QStringLiteral("VoltageCombo"), checks);
    dongleLayout->addWidget(new QLabel(QStringLiteral("Voltage Select:"), dongle));
    dongleLayout->addWidget(VoltageCombo);
    dongleLayout->addStretch(1);

    auto* display = new QGroupBox(QStringLiteral("Display Options"), w);
    auto* displayLayout = new QVBoxLayout(display);
    DeltaCheck = BoundCheck(QStringLiteral("DeltaCheck"), QStringLiteral("Baseline View"), checks);
    // The box's caption is bold while it is checked.
    const auto bold = [this] {
        QFont f = DeltaCheck->font();
        f.setBold(DeltaCheck->isChecked());
        DeltaCheck->setFont(f);
    };
    FFills.push_back(bold);
    connect(DeltaCheck, &QCheckBox::toggled, this, bold);
    auto* note = new QLabel(QStringLiteral("Display only the Deltas. Counts and LTA Streaming must be active."), display);
    note->setWordWrap(true);
    displayLayout->addWidget(DeltaCheck);
    displayLayout->addWidget(note);

    auto* graph = new QGroupBox(QStringLiteral("Bar Graph"), w);
    auto* graphLayout = GroupGrid(graph);
    GraphMinSpin = BoundSpin(QStringLiteral("GraphMinSpin"), checks);
    GraphMaxSpin = BoundSpin(QStringLiteral("GraphMaxSpin"), checks);
    GraphIncSpin = BoundSpin(QStringLiteral("GraphIncSpin"), checks);
    graphLayout->addWidget(new QLabel(QStringLiteral("Y Axis Minimum"), graph), 0, 0);
    graphLayout->addWidget(GraphMinSpin, 0, 1);
    graphLayout->addWidget(new QLabel(QStringLiteral("Y Axis Maximum"), graph), 1, 0);
    graphLayout->addWidget(GraphMaxSpin, 1, 1);
    graphLayout->addWidget(new QLabel(QStringLiteral("Y Axis Increment"), graph), 2, 0);
    graphLayout->addWidget(GraphIncSpin, 2, 1);
    Label59 = new QLabel(graph);
    Label59->setObjectName(QStringLiteral("Label59"));
    Label59->setStyleSheet(QStringLiteral("color: #FF0000;"));
    Label59->setWordWrap(true);
    graphLayout->addWidget(Label59, 3, 0, 1, 3);
    graphLayout->setColumnStretch(2, 1);

    SaveLoadGroup = new QGroupBox(QStringLiteral("Save / Load Settings"), w);
    SaveLoadGroup->setObjectName(QStringLiteral("SaveLoadGroup"));
    SaveLoadGroup->setMinimumHeight(150);
    CreateSaveLoadGroup();

    auto* left = new QVBoxLayout;
    left->addWidget(streaming);
    left->addWidget(dongle);
    left->addWidget(display);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(graph);
    right->addWidget(SaveLoadGroup, 1);
    auto* layout = new QHBoxLayout(w);
    layout->addLayout(left, 1);
    layout->addLayout(right, 1);
}

void TSettingsForm::CreateMultCompPage()
{
    QWidget* w = AddPage(spMultComp, QStringLiteral("MultCompPage"));
    TSettingsPages& pages = FCore.Pages;
    const auto mult = [&pages] { pages.MultChange(); };
    const auto comp = [&pages] { pages.CompChange(); };
    const QStringList channels{QStringLiteral("CH0"), QStringLiteral("CH1"), QStringLiteral("CH2"), QStringLiteral("CH3")};

    auto* multipliers = new QGroupBox(QStringLiteral("Multipliers"), w);
    auto* multGrid = GroupGrid(multipliers);
    for (int n = 0; n < 4; ++n)
        multGrid->addWidget(Centred(channels[n], multipliers), 0, n + 1);
    multGrid->addWidget(Centred(QStringLiteral("All"), multipliers), 0, 5);
    multGrid->addWidget(new QLabel(QStringLiteral("Sens : "), multipliers), 1, 0);
    multGrid->addWidget(new QLabel(QStringLiteral("Comp : "), multipliers), 2, 0);
    for (int n = 0; n < 4; ++n) {
        multGrid->addWidget(BoundCombo(QStringLiteral("Sens%1Combo").arg(n), mult), 1, n + 1);
        multGrid->addWidget(BoundCombo(QStringLiteral("Comp%1Combo").arg(n), mult), 2, n + 1);
    }
    SensAllCombo = new QComboBox(multipliers);
    SensAllCombo->setObjectName(QStringLiteral("SensAllCombo"));
    SensAllCombo->addItems(SensItems());
    SensAllCombo->setCurrentIndex(-1);
    CompAllCombo = new QComboBox(multipliers);
    CompAllCombo->setObjectName(QStringLiteral("CompAllCombo"));
    CompAllCombo->addItems(CompItems());
    CompAllCombo->setCurrentIndex(-1);
    for (int row = 1; row <= 2; ++row)
        for (int col = 1; col <= 4; ++col)
            multGrid->itemAtPosition(row, col)->widget()->setFixedWidth(CellWidth);
    SensAllCombo->setFixedWidth(CellWidth);
    CompAllCombo->setFixedWidth(CellWidth);
    multGrid->addWidget(SensAllCombo, 1, 5);
    multGrid->addWidget(CompAllCombo, 2, 5);
    // "All" sets the four combos of its row.
    const auto all = [this, mult](const std::array<TSettingsRecord::IntField, 4>& fields, int index) {
        if (index < 0)
            return;
        Edited([&] {
            for (auto field : fields)
                Settings().*field = index;
        }, mult);
        FillFromRecord();
    };
    connect(SensAllCombo, &QComboBox::activated, this, [all](int i) { all(TSettingsRecord::SensCombo, i); });
    connect(CompAllCombo, &QComboBox::activated, this, [all](int i) { all(TSettingsRecord::CompCombo, i); });

    auto* compensation = new QGroupBox(QStringLiteral("Compensation"), w);
    auto* compGrid = GroupGrid(compensation);
    for (int n = 0; n < 4; ++n) {
        compGrid->addWidget(Centred(channels[n], compensation), 0, n + 1);
        QSpinBox* spin = BoundSpin(QStringLiteral("Comp%1Spin").arg(n), comp);
        spin->setFixedWidth(CellWidth);
        compGrid->addWidget(spin, 1, n + 1);
    }
    compGrid->addWidget(Centred(QStringLiteral("All"), compensation), 0, 5);
    CompAllSpin = new QSpinBox(compensation);
    CompAllSpin->setObjectName(QStringLiteral("CompAllSpin"));
    CompAllSpin->setRange(0, 255);
    CompAllSpin->setFixedWidth(CellWidth);
    compGrid->addWidget(CompAllSpin, 1, 5);
    compGrid->setColumnMinimumWidth(0, RowCaptionWidth);
    connect(CompAllSpin, &QSpinBox::valueChanged, this, [this, comp](int value) {
        if (CompAllSpin->cleanText().isEmpty())
            return;
        Edited([&] {
            for (auto field : TSettingsRecord::CompSpin)
                Settings().*field = value;
        }, comp);
        FillFromRecord();
    });

    auto* base = new QGroupBox(QStringLiteral("Base"), w);
    auto* baseGrid = GroupGrid(base);
    for (int n = 0; n < 4; ++n) {
        baseGrid->addWidget(Centred(channels[n], base), 0, n + 1);
        QComboBox* combo = BoundCombo(QStringLiteral("CH%1BaseCombo").arg(n), mult);
        combo->setFixedWidth(CellWidth);
        baseGrid->addWidget(combo, 1, n + 1);
    }
    baseGrid->setColumnMinimumWidth(0, RowCaptionWidth);
    multGrid->setColumnMinimumWidth(0, RowCaptionWidth);
    baseGrid->setColumnStretch(5, 1);
    multGrid->setColumnStretch(6, 1);
    compGrid->setColumnStretch(6, 1);

    ReadAllMultButton = Button(QStringLiteral("ReadAllMultButton"), QStringLiteral("Read All"));
    connect(ReadAllMultButton, &QPushButton::clicked, this, &TSettingsForm::ReadAllMultButtonClick);
    auto* layout = new QVBoxLayout(w);
    layout->addWidget(multipliers);
    layout->addWidget(compensation);
    layout->addWidget(base);
    layout->addStretch(1);
    AddButtonRow(layout, {ReadAllMultButton});
}

void TSettingsForm::CreateThrPage()
{
    QWidget* w = AddPage(spThr, QStringLiteral("ThrPage"));
    TSettingsPages& pages = FCore.Pages;
    const auto thr = [&pages] { pages.ThrChange(); };

    auto* prox = new QGroupBox(QStringLiteral("Prox Threshold"), w);
    auto* proxGrid = GroupGrid(prox);
    BoundPair(QStringLiteral("ProxSpin"), QStringLiteral("ProxTrack"), thr)->AddToGrid(proxGrid, 0, QStringLiteral("CH0"));
    StretchTrack(proxGrid);

    auto* touch = new QGroupBox(QStringLiteral("Touch Thresholds"), w);
    auto* touchGrid = GroupGrid(touch);
    for (int c = 1; c <= 3; ++c) {
        TSpinTrackPair* pair = BoundPair(QStringLiteral("Touch%1Spin").arg(c), QStringLiteral("Touch%1Track").arg(c), thr);
        pair->SetValueText(QStringLiteral("Touch%1Label").arg(c), ThresholdPercentText);
        pair->AddToGrid(touchGrid, c - 1, QStringLiteral("CH%1").arg(c));
    }
    StretchTrack(touchGrid);

    auto* movement = new QGroupBox(QStringLiteral("Movement"), w);
    auto* movGrid = GroupGrid(movement);
    BoundPair(QStringLiteral("MovThrSpin"), QStringLiteral("MovThrTrack"), thr)
        ->AddToGrid(movGrid, 0, QStringLiteral("Theshold"));
    StretchTrack(movGrid);

    auto* halt = new QGroupBox(QStringLiteral("Halt Time"), w);
    auto* haltGrid = GroupGrid(halt);
    TSpinTrackPair* haltPair = BoundPair(QStringLiteral("HaltSpin"), QStringLiteral("HaltTrack"), thr);
    haltPair->SetValueText(QStringLiteral("HaltLabel"), HaltTimeText);
    haltPair->AddToGrid(haltGrid, 0, QString(), QStringLiteral("x50"));
    StretchTrack(haltGrid);

    auto* timeout = new QGroupBox(QStringLiteral("I\u00B2C Timeout"), w);
    auto* timeoutGrid = GroupGrid(timeout);
    BoundPair(QStringLiteral("TimeoutSpin"), QStringLiteral("TimeoutTrack"), thr)
        ->AddToGrid(timeoutGrid, 0, QString(), QStringLiteral("x1.28ms"));
    StretchTrack(timeoutGrid);

    auto* reseed = new QGroupBox(QStringLiteral("Filter Halt Reseed Block"), w);
    auto* reseedLayout = new QHBoxLayout(reseed);
    for (int n = 0; n < 4; ++n)
        reseedLayout->addWidget(BoundCheck(QStringLiteral("FHCheckCh%1").arg(n), QStringLiteral("CH%1").arg(n), thr));
    reseedLayout->addStretch(1);

    ReadAllThrButton = Button(QStringLiteral("ReadAllThrButton"), QStringLiteral("Read All"));
    connect(ReadAllThrButton, &QPushButton::clicked, this, &TSettingsForm::ReadAllThrButtonClick);
    auto* left = new QVBoxLayout;
    left->addWidget(prox);
    left->addWidget(touch);
    left->addWidget(movement);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(halt);
    right->addWidget(timeout);
    right->addWidget(reseed);
    right->addStretch(1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    auto* layout = new QVBoxLayout(w);
    layout->addLayout(columns);
    layout->addStretch(1);
    AddButtonRow(layout, {ReadAllThrButton});
}

void TSettingsForm::CreateTimingsPage()
{
    QWidget* w = AddPage(spTimings, QStringLiteral("TimingsPage"));
    TSettingsPages& pages = FCore.Pages;
    const auto tim = [&pages] { pages.TimChange(); };
    const auto ges = [&pages] { pages.GesChange(); };

    auto* lowPower = new QGroupBox(QStringLiteral("Low Power"), w);
    auto* lpGrid = GroupGrid(lowPower);
    TSpinTrackPair* lp = BoundPair(QStringLiteral("LPSpin"), QStringLiteral("LPTrack"), tim);
    lp->SetValueText(QStringLiteral("LPLabel"), LowPowerTimeText);
    lp->AddToGrid(lpGrid, 0, QString(), QStringLiteral("x16ms"));
    StretchTrack(lpGrid);

    auto* targets = new QGroupBox(QStringLiteral("ATI Targets"), w);
    auto* targetGrid = GroupGrid(targets);
    TSpinTrackPair* touchTarget = BoundPair(QStringLiteral("Targ1Spin"), QStringLiteral("Targ1Track"), tim);
    touchTarget->SetValueText(QStringLiteral("Target1Label"), TargetText);
    touchTarget->AddToGrid(targetGrid, 0, QStringLiteral("CH1 - 3"));
    TSpinTrackPair* proxTarget = BoundPair(QStringLiteral("Targ2Spin"), QStringLiteral("Targ2Track"), tim);
    proxTarget->SetValueText(QStringLiteral("Target2Label"), TargetText);
    proxTarget->AddToGrid(targetGrid, 1, QStringLiteral("CH0"));
    StretchTrack(targetGrid);

    auto* tap = new QGroupBox(QStringLiteral("Tap"), w);
    auto* tapGrid = GroupGrid(tap);
    BoundPair(QStringLiteral("TapSpin"), QStringLiteral("TapTrack"), ges)->AddToGrid(tapGrid, 0, QStringLiteral("Time"));
    StretchTrack(tapGrid);

    auto* flick = new QGroupBox(QStringLiteral("Flick"), w);
    auto* flickGrid = GroupGrid(flick);
    BoundPair(QStringLiteral("FlickTimeSpin"), QStringLiteral("FlickTimeTrack"), ges)
        ->AddToGrid(flickGrid, 0, QStringLiteral("Time"));
    BoundPair(QStringLiteral("FlickThrSpin"), QStringLiteral("FlickThrTrack"), ges)
        ->AddToGrid(flickGrid, 1, QStringLiteral("Threshold"));
    StretchTrack(flickGrid);

    ReadAllTimingsButton = Button(QStringLiteral("ReadAllTimingsButton"), QStringLiteral("Read All"));
    connect(ReadAllTimingsButton, &QPushButton::clicked, this, &TSettingsForm::ReadAllTimingsButtonClick);
    auto* left = new QVBoxLayout;
    left->addWidget(lowPower);
    left->addWidget(targets);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(tap);
    right->addWidget(flick);
    right->addStretch(1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    auto* layout = new QVBoxLayout(w);
    layout->addLayout(columns);
    layout->addStretch(1);
    AddButtonRow(layout, {ReadAllTimingsButton});
}

void TSettingsForm::CreateEngineeringPage()
{
    QWidget* w = AddPage(spEngineering, QStringLiteral("EngineeringPage"));
    TRegisterOperations& ops = *FCore.RegOps;
    // Every engineering button shows what its operation put into the record.
    const auto run = [this](QPushButton* button, std::function<void()> operation) {
        connect(button, &QPushButton::clicked, this, [this, operation] {
            operation();
            FillFromRecord();
        });
    };

    PowerButton = Button(QStringLiteral("PowerButton"), FCore.PowerCaption);
    ShowSendCommandsButton = Button(QStringLiteral("ShowSendCommandsButton"), QStringLiteral("Show Send Commands"));
    DataMissLabel = new QLabel(QStringLiteral("Some Data Missed"), w);
    DataMissLabel->setObjectName(QStringLiteral("DataMissLabel"));
    DataMissLabel->setStyleSheet(QStringLiteral("color: #FF0000; font-weight: bold;"));
    DataMissLabel->setCursor(Qt::PointingHandCursor);
    DataMissLabel->installEventFilter(this);
    DataMissLabel->hide();
    connect(PowerButton, &QPushButton::clicked, this, [this] {
        FCore.Session->PowerButtonClick();
        PowerButton->setText(FCore.PowerCaption);
        FillFromRecord();
    });
    connect(ShowSendCommandsButton, &QPushButton::clicked, this, [this] {
        if (OnShowSendCommands)
            OnShowSendCommands();
    });

    const auto hexGroup = [w](const QString& caption, QLineEdit* address, QLineEdit* data, QPushButton* read,
                                    QPushButton* write) {
        auto* group = new QGroupBox(caption, w);
        auto* grid = GroupGrid(group);
        grid->addWidget(new QLabel(QStringLiteral("Address:"), group), 0, 0);
        grid->addWidget(address, 0, 1);
        grid->addWidget(new QLabel(QStringLiteral("H"), group), 0, 2);
        grid->addWidget(new QLabel(QStringLiteral("Data:"), group), 1, 0);
        grid->addWidget(data, 1, 1);
        grid->addWidget(new QLabel(QStringLiteral("H"), group), 1, 2);
        grid->addWidget(read, 0, 4);
        grid->addWidget(write, 1, 4);
        grid->setColumnStretch(3, 1);
        return group;
    };
    MMAddressEdit = HexEdit(QStringLiteral("MMAddressEdit"));
    MMDataEdit = HexEdit(QStringLiteral("MMDataEdit"));
    ReadMMButton = Button(QStringLiteral("ReadMMButton"), QStringLiteral("Read"));
    WriteMMButton = Button(QStringLiteral("WriteMMButton"), QStringLiteral("Write"));
    DirAddrEdit = HexEdit(QStringLiteral("DirAddrEdit"));
    DirDataEdit = HexEdit(QStringLiteral("DirDataEdit"));
    InDirReadButton = Button(QStringLiteral("InDirReadButton"), QStringLiteral("Read"));
    InDirWriteButton = Button(QStringLiteral("InDirWriteButton"), QStringLiteral("Write"));
    QGroupBox* memoryMap = hexGroup(QStringLiteral("R/W Memory Map"), MMAddressEdit, MMDataEdit, ReadMMButton, WriteMMButton);
    QGroupBox* indirect = hexGroup(QStringLiteral("R/W Indirect"), DirAddrEdit, DirDataEdit, InDirReadButton, InDirWriteButton);
    run(ReadMMButton, [&ops] { ops.ReadMMButtonClick(); });
    run(WriteMMButton, [&ops] { ops.WriteMMButtonClick(); });
    run(InDirReadButton, [&ops] { ops.InDirReadButtonClick(); });
    run(InDirWriteButton, [&ops] { ops.InDirWriteButtonClick(); });

    auto* bases = new QGroupBox(QStringLiteral("Actual Base Values"), w);
    auto* baseGrid = GroupGrid(bases);
    for (int n = 0; n < 4; ++n) {
        baseGrid->addWidget(new QLabel(QStringLiteral("CH%1").arg(n), bases), n, 0);
        QLineEdit* edit = BoundEdit(QStringLiteral("Base%1Edit").arg(n), true);
        edit->setFixedWidth(64);
        baseGrid->addWidget(edit, n, 1);
    }
    ReadActualBaseButton = Button(QStringLiteral("ReadActualBaseButton"), QStringLiteral("Read"));
    baseGrid->addWidget(ReadActualBaseButton, 0, 3);
    baseGrid->setColumnStretch(2, 1);
    run(ReadActualBaseButton, [&ops] { ops.ReadActualBase(); });

    auto* parasitic = new QGroupBox(QStringLiteral("Parasitic Capacitance"), w);
    auto* capGrid = GroupGrid(parasitic);
    for (int n = 0; n < 4; ++n) {
        capGrid->addWidget(new QLabel(QStringLiteral("CH%1").arg(n), parasitic), n, 0);
        QLineEdit* edit = BoundEdit(QStringLiteral("ParCap%1Edit").arg(n), true);
        edit->setFixedWidth(64);
        capGrid->addWidget(edit, n, 1);
        capGrid->addWidget(new QLabel(QStringLiteral("+- 20%"), parasitic), n, 2);
    }
    Edit1 = BoundEdit(QStringLiteral("Edit1"), false);
    Edit1->setFixedWidth(64);
    Button2 = Button(QStringLiteral("Button2"), QStringLiteral("Calculate"));
    Label39 = new QLabel(QStringLiteral("PLEASE WAIT"), parasitic);
    Label39->setObjectName(QStringLiteral("Label39"));
    Label39->setStyleSheet(QStringLiteral("color: #FF0000; font-weight: bold;"));
    Label39->hide();
    capGrid->addWidget(new QLabel(QStringLiteral("Factor:"), parasitic), 0, 4);
    capGrid->addWidget(Edit1, 0, 5);
    capGrid->addWidget(Button2, 1, 4, 1, 2);
    capGrid->addWidget(Label39, 2, 4, 1, 2);
    capGrid->setColumnStretch(3, 1);
    run(Button2, [&ops] { ops.Button2Click(); });

    auto* top = new QHBoxLayout;
    top->addWidget(PowerButton);
    top->addWidget(ShowSendCommandsButton);
    top->addSpacing(12);
    top->addWidget(DataMissLabel);
    top->addStretch(1);
    auto* grid = new QGridLayout;
    grid->setSpacing(8);
    grid->addWidget(memoryMap, 0, 0);
    grid->addWidget(indirect, 0, 1);
    grid->addWidget(bases, 1, 0);
    grid->addWidget(parasitic, 1, 1);
    auto* layout = new QVBoxLayout(w);
    layout->addLayout(top);
    layout->addLayout(grid);
    layout->addStretch(1);
}
