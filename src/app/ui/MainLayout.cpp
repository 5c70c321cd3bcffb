// The main window's controls and their layout.

#include "app/ui/MainUnit.h"

#include "app/ui/AxisIncrementTicker.h"
#include "app/ui/CategoryPanel.h"
#include "app/ui/ColourBars.h"
#include "app/ui/ColourTrackBar.h"
#include "app/ui/DialButton.h"
#include "app/ui/GraphPicture.h"
#include "app/ui/KvrListBox.h"
#include "app/ui/PictureBox.h"
#include "app/ui/SevenSegment.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>
#include <qcustomplot.h>

namespace {

// Design sizes.
constexpr int LeftColumnWidth = 267;
constexpr int ChannelRowHeight = 146;
constexpr int WheelPanelHeight = 252;
constexpr int StripHeight = 43;

const QColor FormColour(0xCD, 0xCD, 0xCD);
const QColor PanelColour(0xF0, 0xF0, 0xF0);
const QColor SeparatorColour(0x8F, 0x8F, 0x8F);

void Fill(QWidget* widget, const QColor& colour)
{
    widget->setAutoFillBackground(true);
    QPalette pal = widget->palette();
    pal.setColor(QPalette::Window, colour);
    widget->setPalette(pal);
}

QFont Sized(QFont font, int pointSize, bool bold = false)
{
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

QLabel* ValueLabel(const QString& name, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(44);
    Fill(label, PanelColour);
    return label;
}

QLabel* FlagRow(QFormLayout* form, const QString& caption, const QString& name, const QString& text)
{
    auto* value = ValueLabel(name, text, form->parentWidget());
    auto* label = new QLabel(caption, form->parentWidget());
    // One caption width in both groups, so that their values line up.
    label->setMinimumWidth(112);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->addRow(label, value);
    return value;
}

QFormLayout* FlagForm(QGroupBox* group)
{
    auto* form = new QFormLayout(group);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFormAlignment(Qt::AlignHCenter | Qt::AlignTop);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->setContentsMargins(8, 4, 8, 4);
    form->setVerticalSpacing(1);
    form->setHorizontalSpacing(4);
    return form;
}

} // namespace

void TMainForm::CreateMenu()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    FileMenu = file;
    ExportH = file->addAction(QStringLiteral("Export H File"));
    ExportH->setObjectName(QStringLiteral("ExportH"));
    ExportH->setEnabled(false);
    Exit1 = file->addAction(QStringLiteral("&Exit"));
    Exit1->setObjectName(QStringLiteral("Exit1"));

    QMenu* options = menuBar()->addMenu(QStringLiteral("Options"));
    Resetstartupapplicationsizeandposition1 = options->addAction(QStringLiteral("Reset application saved settings"));
    Resetstartupapplicationsizeandposition1->setObjectName(QStringLiteral("Resetstartupapplicationsizeandposition1"));
    Showhelphints1 = options->addAction(QStringLiteral("Show hover hints"));
    Showhelphints1->setObjectName(QStringLiteral("Showhelphints1"));
    Showhelphints1->setCheckable(true);
    Showhelphints1->setChecked(true);
    ReadAll = options->addAction(QStringLiteral("Read all settings from the KT610"));
    ReadAll->setObjectName(QStringLiteral("ReadAll"));
    options->addSeparator();
    ShowSendCommands1 = options->addAction(QStringLiteral("Show Send Commands"));
    ShowSendCommands1->setObjectName(QStringLiteral("ShowSendCommands1"));

    QMenu* analysis = menuBar()->addMenu(QStringLiteral("&Analysis"));
    StatisticsAction = analysis->addAction(QStringLiteral("Statistics"));
    StatisticsAction->setObjectName(QStringLiteral("StatisticsAction"));
    SnrAction = analysis->addAction(QStringLiteral("SNR Measurement..."));
    SnrAction->setObjectName(QStringLiteral("SnrAction"));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    HintsTips1 = help->addAction(QStringLiteral("Hints && Tips"));
    HintsTips1->setObjectName(QStringLiteral("HintsTips1"));
    About1 = help->addAction(QStringLiteral("About"));
    About1->setObjectName(QStringLiteral("About1"));
}

void TMainForm::CreateControls()
{
    CreateMenu();

    // Everything sits on one client panel of the design size; the window scrolls when it is smaller.
    ScrollBox = new QScrollArea(this);
    ScrollBox->setFrameShape(QFrame::NoFrame);
    ScrollBox->setWidgetResizable(true);
    auto* client = new QWidget;
    client->setObjectName(QStringLiteral("ClientPanel"));
    client->setMinimumSize(ClientWidth, ClientHeight);
    Fill(client, FormColour);
    ScrollBox->setWidget(client);
    setCentralWidget(ScrollBox);

    auto* layout = new QHBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    CreateLeftColumn(client);
    layout->addWidget(CategoryPanelGroup1);

    ContainerPanel = new QWidget(client);
    ContainerPanel->setObjectName(QStringLiteral("ContainerPanel"));
    ContainerPanel->setMinimumSize(ClientWidth - LeftColumnWidth, ClientHeight);
    auto* right = new QVBoxLayout(ContainerPanel);
    right->setContentsMargins(0, 0, 0, 0);
    right->setSpacing(0);
    CreateBarPanel(ContainerPanel);
    right->addWidget(BarPanel, 1);
    CMTButton = new QPushButton(QStringLiteral("Wheel / Slider / Relative Coordinates"), ContainerPanel);
    CMTButton->setObjectName(QStringLiteral("CMTButton"));
    CMTButton->setFlat(true);
    CMTButton->setFont(Sized(font(), 8, true));
    CMTButton->setStyleSheet(QStringLiteral("QPushButton { color: #000080; padding: 3px; }"));
    CMTButton->setCursor(Qt::PointingHandCursor);
    right->addWidget(CMTButton);
    CreateWheelPanel(ContainerPanel);
    right->addWidget(WheelPanel);
    layout->addWidget(ContainerPanel, 1);
}

void TMainForm::CreateLeftColumn(QWidget* parent)
{
    CategoryPanelGroup1 = new TCategoryPanelGroup(parent);
    CategoryPanelGroup1->setObjectName(QStringLiteral("CategoryPanelGroup1"));
    CategoryPanelGroup1->setFixedWidth(LeftColumnWidth);

    // "USB Dongle && Messages": the tool panel above the message list, on a panel that shows the latest
    // item's kind.
    MessagesCategory = new TCategoryPanel(QStringLiteral("USB Dongle && Messages"));
    MessagesCategory->setObjectName(QStringLiteral("MessagesCategory"));
    MessagesPanel = new QWidget(MessagesCategory->Content());
    MessagesPanel->setObjectName(QStringLiteral("MessagesPanel"));
    Fill(MessagesPanel, PanelColour);
    auto* content = new QVBoxLayout(MessagesCategory->Content());
    content->setContentsMargins(0, 0, 0, 0);
    content->addWidget(MessagesPanel);

    CtPanel = new QFrame(MessagesPanel);
    CtPanel->setObjectName(QStringLiteral("CtPanel"));
    CtPanel->setFrameShape(QFrame::Box);
    CtPanel->setFrameShadow(QFrame::Plain);
    CtPanel->setCursor(Qt::PointingHandCursor);
    Fill(CtPanel, PanelColour);
    CtLabel = new QLabel(CtPanel);
    CtLabel->setObjectName(QStringLiteral("CtLabel"));
    CtLabel->setFont(Sized(font(), 11, true));
    // A long tool name wraps; the panel keeps room for three lines instead of growing with the text, so the
    // column never needs more than its design height.
    CtLabel->setWordWrap(true);
    QSizePolicy fixedLines(QSizePolicy::Preferred, QSizePolicy::Fixed);
    fixedLines.setHeightForWidth(false);
    CtLabel->setSizePolicy(fixedLines);
    CtLabel->setFixedHeight(QFontMetrics(CtLabel->font()).lineSpacing() * 3);
    CtSetupButton = new QToolButton(CtPanel);
    CtSetupButton->setObjectName(QStringLiteral("CtSetupButton"));
    CtSetupButton->setIcon(QIcon(QPixmap(QStringLiteral(":/CtSetup"))));
    CtSetupButton->setIconSize(QSize(32, 32));
    CtSetupButton->setAutoRaise(true);
    CtSetupButton->setToolTip(QStringLiteral("Setup Configuration Tool"));
    CtSetupButton->setEnabled(false);
    auto* ct = new QHBoxLayout(CtPanel);
    ct->setContentsMargins(6, 2, 2, 2);
    ct->addWidget(CtLabel, 1);
    ct->addWidget(CtSetupButton);

    MessageBox = new TKvrListBox(MessagesPanel);
    MessageBox->setObjectName(QStringLiteral("MessageBox"));
    MessageBox->setFont(font());
    MessageBox->SetItemsPrefix(QStringLiteral(" "));
    MessageBox->SetSelectedColor(QColor(0xD7, 0xEB, 0xFF));
    MessageBox->SetMouseOverColor(QColor(0xE9, 0xE9, 0xE9));
    auto* messages = new QVBoxLayout(MessagesPanel);
    messages->setContentsMargins(3, 3, 3, 3);
    messages->setSpacing(3);
    messages->addWidget(CtPanel);
    messages->addWidget(MessageBox, 1);
    CategoryPanelGroup1->AddPanel(MessagesCategory, 1);

    // "Streaming".
    StreamingCategory = new TCategoryPanel(QStringLiteral("Streaming"));
    StreamingCategory->setObjectName(QStringLiteral("StreamingCategory"));
    QWidget* streaming = StreamingCategory->Content();
    SetupButton = new QPushButton(QStringLiteral("Settings"), streaming);
    SetupButton->setObjectName(QStringLiteral("SetupButton"));
    ScopeButton = new QPushButton(QStringLiteral("Scope"), streaming);
    ScopeButton->setObjectName(QStringLiteral("ScopeButton"));
    StartButton = new QPushButton(QStringLiteral("Start"), streaming);
    StartButton->setObjectName(QStringLiteral("StartButton"));
    StartButton->setFont(Sized(font(), 12, true));
    StartButton->setEnabled(false);
    PauseButton = new QPushButton(QStringLiteral("Pause"), streaming);
    PauseButton->setObjectName(QStringLiteral("PauseButton"));
    PauseButton->setEnabled(false);
    auto* buttons = new QGridLayout(streaming);
    buttons->setContentsMargins(10, 8, 10, 8);
    buttons->setHorizontalSpacing(16);
    buttons->setVerticalSpacing(6);
    for (QPushButton* b : {SetupButton, ScopeButton, PauseButton})
        b->setMinimumHeight(26);
    buttons->addWidget(SetupButton, 0, 0);
    buttons->addWidget(ScopeButton, 1, 0);
    buttons->addWidget(StartButton, 0, 1);
    buttons->addWidget(PauseButton, 1, 1);
    StartButton->setMinimumHeight(26);
    CategoryPanelGroup1->AddPanel(StreamingCategory);

    // "Flags && Events".
    SetupCategory = new TCategoryPanel(QStringLiteral("Flags && Events"));
    SetupCategory->setObjectName(QStringLiteral("SetupCategory"));
    CreateFlagsAndEvents(SetupCategory->Content());
    CategoryPanelGroup1->AddPanel(SetupCategory);
}

void TMainForm::CreateFlagsAndEvents(QWidget* parent)
{
    SysFlagsGroup = new QGroupBox(QStringLiteral("System Flags"), parent);
    SysFlagsGroup->setObjectName(QStringLiteral("SysFlagsGroup"));
    QFormLayout* flags = FlagForm(SysFlagsGroup);
    const QString no = QStringLiteral("No");
    ATIBLabel = FlagRow(flags, QStringLiteral("ATI Busy : "), QStringLiteral("ATIBLabel"), no);
    ATIErrorLabel = FlagRow(flags, QStringLiteral("ATI Error : "), QStringLiteral("ATIErrorLabel"), no);
    LPLabel = FlagRow(flags, QStringLiteral("Low Power : "), QStringLiteral("LPLabel"), no);
    FHLabel = FlagRow(flags, QStringLiteral("Global Filter Halt : "), QStringLiteral("FHLabel"), no);
    FHBitsLabel = FlagRow(flags, QStringLiteral("Halt : "), QStringLiteral("FHBitsLabel"), QStringLiteral("0000"));
    ProjLabel = FlagRow(flags, QStringLiteral("Projected : "), QStringLiteral("ProjLabel"), no);
    MovLabel = FlagRow(flags, QStringLiteral("Movement : "), QStringLiteral("MovLabel"), no);
    ResetLabel = FlagRow(flags, QStringLiteral("Reset : "), QStringLiteral("ResetLabel"), no);
    VersionLbl = FlagRow(flags, QStringLiteral("Device Version : "), QStringLiteral("VersionLbl"), QString());

    EventsGroup = new QGroupBox(QStringLiteral("Events"), parent);
    EventsGroup->setObjectName(QStringLiteral("EventsGroup"));
    QFormLayout* events = FlagForm(EventsGroup);
    FEFlickLabel = FlagRow(events, QStringLiteral("Flick : "), QStringLiteral("FEFlickLabel"), QString());
    FETapLabel = FlagRow(events, QStringLiteral("Tap : "), QStringLiteral("FETapLabel"), no);
    FEMovLabel = FlagRow(events, QStringLiteral("Movement : "), QStringLiteral("FEMovLabel"), no);
    FEAtiLabel = FlagRow(events, QStringLiteral("ATI : "), QStringLiteral("FEAtiLabel"), no);
    FESliderLabel = FlagRow(events, QStringLiteral("Slider : "), QStringLiteral("FESliderLabel"), no);
    FETouchLabel = FlagRow(events, QStringLiteral("Touch : "), QStringLiteral("FETouchLabel"), no);
    FEProxLabel = FlagRow(events, QStringLiteral("Prox : "), QStringLiteral("FEProxLabel"), no);
    EventsCheck = new QCheckBox(QStringLiteral("Show Events"), EventsGroup);
    EventsCheck->setObjectName(QStringLiteral("EventsCheck"));
    EventsCheck->setChecked(true);
    events->addRow(EventsCheck);
    events->setAlignment(EventsCheck, Qt::AlignHCenter);

    auto* layout = new QVBoxLayout(parent);
    layout->setContentsMargins(6, 4, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(SysFlagsGroup);
    layout->addWidget(EventsGroup);
}

void TMainForm::CreateBarPanel(QWidget* parent)
{
    BarPanel = new QFrame(parent);
    BarPanel->setObjectName(QStringLiteral("BarPanel"));
    Fill(BarPanel, PanelColour);

    Panel18 = new QWidget(BarPanel);
    Panel18->setObjectName(QStringLiteral("Panel18"));
    RedoATIBtn = new QPushButton(QStringLiteral("Redo ATI"), Panel18);
    RedoATIBtn->setObjectName(QStringLiteral("RedoATIBtn"));
    ReseedBtn = new QPushButton(QStringLiteral("Reseed"), Panel18);
    ReseedBtn->setObjectName(QStringLiteral("ReseedBtn"));
    AckResetButton = new QPushButton(QStringLiteral("Show Reset"), Panel18);
    AckResetButton->setObjectName(QStringLiteral("AckResetButton"));
    auto* bar = new QHBoxLayout(Panel18);
    bar->setContentsMargins(6, 4, 6, 2);
    bar->setSpacing(6);
    for (QPushButton* b : {RedoATIBtn, ReseedBtn, AckResetButton}) {
        b->setMinimumWidth(80);
        bar->addWidget(b);
    }
    bar->addStretch(1);
    StatisticsBtn = new QPushButton(QStringLiteral("Statistics"), Panel18);
    StatisticsBtn->setObjectName(QStringLiteral("StatisticsBtn"));
    StatisticsBtn->setToolTip(QStringLiteral("Noise, drift and delta of each channel, and the SNR measurement"));
    bar->addWidget(StatisticsBtn);

    BarGraph = new QCustomPlot(BarPanel);
    BarGraph->setObjectName(QStringLiteral("BarGraph"));
    BarGraph->setBackground(QBrush(PanelColour));
    BarGraph->setAutoAddPlottableToLegend(false);
    BarGraph->legend->setVisible(false);
    BarGraph->setInteractions(QCP::iRangeDrag);
    BarGraph->axisRect()->setRangeDrag(Qt::Vertical);
    BarGraph->axisRect()->setRangeZoom(Qt::Orientations());
    // Left axis labels get a fixed 30 pixels.
    BarGraph->axisRect()->setAutoMargins(QCP::msTop | QCP::msRight | QCP::msBottom);
    BarGraph->axisRect()->setMargins(QMargins(38, 0, 0, 0));
    QCPAxis* left = BarGraph->yAxis;
    left->setRange(0, 1500);
    left->setNumberFormat(QStringLiteral("f"));
    left->setNumberPrecision(0);
    left->setTickLabelFont(font());
    left->setSubTicks(false);
    left->setTicker(QSharedPointer<QCPAxisTicker>(new TAxisIncrementTicker(10)));
    QCPAxis* bottom = BarGraph->xAxis;
    bottom->setRange(-0.5, 3.5);
    bottom->setTickLabels(false);
    bottom->setTicks(false);
    bottom->grid()->setVisible(false);
    bottom->grid()->setSubGridVisible(false);

    GraphPicture = new TGraphPicture(BarGraph);
    Series1 = new TColourBars(bottom, left);
    Series1->setName(QStringLiteral("CS"));
    Series1->setBrush(QColor(0x00, 0xC1, 0x61));
    Series1->setPen(Qt::NoPen);
    Series1->setWidth(0.3);
    Series2 = new TColourBars(bottom, left);
    Series2->setName(QStringLiteral("LTA"));
    Series2->setBrush(QColor(0x00, 0x40, 0x80));
    Series2->setPen(Qt::NoPen);
    Series2->setWidth(0.3);
    auto* pairs = new QCPBarsGroup(BarGraph);
    pairs->setSpacingType(QCPBarsGroup::stAbsolute);
    pairs->setSpacing(2);
    Series1->setBarsGroup(pairs);
    Series2->setBarsGroup(pairs);

    CreateChannelRow(BarPanel);

    auto* layout = new QVBoxLayout(BarPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel18);
    layout->addWidget(BarGraph, 1);
    layout->addWidget(ChannelRow);
}

void TMainForm::CreateChannelRow(QWidget* parent)
{
    // Placed by ArrangeChannelRow under the bars; only the vertical positions are fixed here.
    ChannelRow = new QWidget(parent);
    ChannelRow->setObjectName(QStringLiteral("ChannelRow"));
    ChannelRow->setFixedHeight(ChannelRowHeight);

    auto caption = [this](const QString& text, const QString& name, int y) {
        auto* label = new QLabel(text, ChannelRow);
        label->setObjectName(name);
        label->move(6, y);
        label->adjustSize();
        return label;
    };
    ChannelsCaption = caption(QStringLiteral("Channels:"), QStringLiteral("ChannelsCaption"), 52);
    CountCaption = caption(QStringLiteral("Count:"), QStringLiteral("CountCaption"), 82);
    CountCaption->setToolTip(QStringLiteral("Sampled value"));
    LTACaption = caption(QStringLiteral("LTA:"), QStringLiteral("LTACaption"), 98);
    LTACaption->setToolTip(QStringLiteral("Long Term Average"));
    DeltaCaption = caption(QStringLiteral("Delta:"), QStringLiteral("DeltaCaption"), 114);
    TouchTHsCaption = caption(QStringLiteral("Touch THs:"), QStringLiteral("TouchTHsCaption"), 130);
    TouchTHsCaption->setToolTip(QStringLiteral("Calculated Touch Threshold"));
    for (QLabel* hinted : {CountCaption, LTACaption, TouchTHsCaption})
        hinted->setToolTipDuration(5000);

    const int indicatorTop = HighDensity() ? 8 : 2;
    for (int c = 0; c < 4; ++c) {
        const QString n = QString::number(c);
        CHPTShape[c] = new QLabel(ChannelRow);
        CHPTShape[c]->setObjectName(QStringLiteral("CH%1PTShape").arg(c));
        CHPTShape[c]->setFixedSize(52, 39);
        CHPTShape[c]->move(0, indicatorTop);
        CHLabel[c] = new QLabel(n, ChannelRow);
        CHLabel[c]->setObjectName(QStringLiteral("CH%1Label").arg(c));
        CHLabel[c]->setFont(Sized(font(), 13, true));
        CHLabel[c]->setAlignment(Qt::AlignCenter);
        CHLabel[c]->setFixedSize(16, 21);
        CHLabel[c]->move(0, 41);
        FCHChecks[c] = new QCheckBox(ChannelRow);
        FCHChecks[c]->setObjectName(QStringLiteral("CH%1Check").arg(c));
        FCHChecks[c]->setChecked(true);
        FCHChecks[c]->adjustSize();
        FCHChecks[c]->move(0, 62);
        auto value = [this](const QString& name, int y) {
            auto* label = new QLabel(QStringLiteral("0"), ChannelRow);
            label->setObjectName(name);
            label->setAlignment(Qt::AlignCenter);
            label->setFixedSize(44, 15);
            label->move(0, y);
            return label;
        };
        CSLbl[c] = value(QStringLiteral("CS%1Lbl").arg(c), 82);
        LTALbl[c] = value(QStringLiteral("LTA%1Lbl").arg(c), 98);
        DTLbl[c] = value(QStringLiteral("DT%1Lbl").arg(c), 114);
        if (c > 0)
            TTLbl[c] = value(QStringLiteral("TT%1Lbl").arg(c), 130);
    }
    AllCHsCheck = new QCheckBox(QStringLiteral("All"), ChannelRow);
    AllCHsCheck->setObjectName(QStringLiteral("AllCHsCheck"));
    AllCHsCheck->setChecked(true);
    AllCHsCheck->adjustSize();
    AllCHsCheck->move(0, 62);
    for (int i = 0; i < 3; ++i) {
        Shape[i] = new QFrame(ChannelRow);
        Shape[i]->setObjectName(QStringLiteral("Shape%1").arg(i + 1));
        Fill(Shape[i], SeparatorColour);
        Shape[i]->setGeometry(0, 4, 1, ChannelRowHeight - 8);
    }
}

void TMainForm::CreateWheelPanel(QWidget* parent)
{
    WheelPanel = new QFrame(parent);
    WheelPanel->setObjectName(QStringLiteral("WheelPanel"));
    WheelPanel->setFixedHeight(WheelPanelHeight);
    Fill(WheelPanel, PanelColour);

    auto* title = new QLabel(QStringLiteral("Wheel / Slider"), WheelPanel);
    title->setObjectName(QStringLiteral("WheelCaption"));
    title->setFont(Sized(font(), 9, true));
    title->setStyleSheet(QStringLiteral("color: #000080;"));
    JvDialButton1 = new TDialButton(WheelPanel);
    JvDialButton1->setObjectName(QStringLiteral("JvDialButton1"));
    SevenSeg1 = new TSevenSegment(WheelPanel);
    SevenSeg1->setObjectName(QStringLiteral("SevenSeg1"));
    SevenSeg1->setFixedSize(126, 70);
    TrackBar1 = new TColourTrackBar(WheelPanel);
    TrackBar1->setObjectName(QStringLiteral("TrackBar1"));
    TrackBar1->setFixedHeight(28);

    auto* readouts = new QVBoxLayout;
    readouts->setSpacing(10);
    readouts->addStretch(1);
    readouts->addWidget(SevenSeg1, 0, Qt::AlignHCenter);
    readouts->addWidget(TrackBar1);
    readouts->addStretch(1);
    auto* top = new QHBoxLayout;
    top->setSpacing(24);
    top->addWidget(JvDialButton1);
    top->addLayout(readouts, 1);

    auto* relative = new QLabel(QStringLiteral("Relative Coordinates"), WheelPanel);
    relative->setObjectName(QStringLiteral("RelativeCaption"));
    relative->setFont(Sized(font(), 8, true));
    relative->setStyleSheet(QStringLiteral("color: #000080;"));
    MovPanel = new QWidget(WheelPanel);
    MovPanel->setObjectName(QStringLiteral("MovPanel"));
    MovImage = new TPictureBox(MovPanel);
    MovImage->setObjectName(QStringLiteral("MovImage"));
    MovImage->setFixedHeight(StripHeight);
    auto* strip = new QHBoxLayout(MovPanel);
    strip->setContentsMargins(0, 0, 0, 0);
    strip->addWidget(MovImage);

    auto* layout = new QVBoxLayout(WheelPanel);
    layout->setContentsMargins(9, 4, 9, 8);
    layout->setSpacing(2);
    layout->addWidget(title);
    layout->addLayout(top);
    layout->addSpacing(4);
    layout->addWidget(relative);
    layout->addWidget(MovPanel);
}
