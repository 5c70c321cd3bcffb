#include "help/ui/HintTipsUnit.h"

#include "app/ui/AppForms.h"
#include "app/ui/MainUnit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>

namespace {

struct TTip {
    const char* First;
    bool Red;
    int PointSize;
    const char* Second;
};

const std::array<TTip, THintTipsForm::TipCount> Tips{{
    {"USB Hubs slow down communication making the device appear sluggish.", true, 9,
     "Please connect your Korvane USB Dongle directly into a USB port on your computer."},
    {"All chip settings are located on the 'Settings Window'.  Click the 'Settings' button to access these "
     "settings.",
     true, 8, "Click the button 'Wheel / Slider / Relative Coordinates' to go directly to their settings."},
    {"On the Scope View hold down the right mouse button to Pan in any direction.", false, 8,
     "You can also hold down the left mouse button dragging a Zoom area from left to right.  Drag an area from "
     "right to left to Zoom out again."},
    {"Use the 'Save Settings' button from the Setup Window to save your current device configuration to a file.",
     false, 8,
     "Load a saved settings file to apply it on startup or use the 'Apply Settings' button to load the settings "
     "as needed."},
    {"Pause the device streaming without switching off power and losing your current configuration by clicking "
     "on the 'Pause' Button.",
     false, 8, "Resume device streaming by clicking on the 'Resume' Button."},
    {"A left click on the Bar Graph will send a quick reseed command to the device.", false, 8,
     "Enable 'Baseline View' from the Setup Window to display only the Delta Values : ABS(LTA - Count)."},
}};

QLabel* TipLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setAutoFillBackground(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, Qt::white);
    label->setPalette(pal);
    QFont f = label->font();
    f.setBold(true);
    f.setPointSize(8);
    label->setFont(f);
    return label;
}

} // namespace

THintTipsForm::THintTipsForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("HintTipsForm"));
    setWindowTitle(QStringLiteral("Hints & Tips"));
    setFixedSize(384, 174);
    QFont tahoma(QStringLiteral("Tahoma"));
    tahoma.setPointSize(8);
    setFont(tahoma);

    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setAutoFillBackground(true);
    QPalette white = panel->palette();
    white.setColor(QPalette::Window, Qt::white);
    panel->setPalette(white);
    NextButton = new QPushButton(QStringLiteral(">>"), panel);
    NextButton->setToolTip(QStringLiteral("Next"));
    InfoLabel = TipLabel(panel);
    InfoLabel2 = TipLabel(panel);
    PreviousButton = new QPushButton(QStringLiteral("<<"), panel);
    PreviousButton->setToolTip(QStringLiteral("Previous"));
    for (QPushButton* b : {NextButton, PreviousButton}) {
        b->setFlat(true);
        b->setFixedHeight(16);
        b->setAutoDefault(false);
    }
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->setContentsMargins(4, 2, 4, 2);
    panelLayout->setSpacing(2);
    panelLayout->addWidget(NextButton);
    panelLayout->addWidget(InfoLabel, 1);
    panelLayout->addWidget(InfoLabel2, 1);
    panelLayout->addWidget(PreviousButton);

    CancelBtn = new QPushButton(QStringLiteral("Close"), this);
    CancelBtn->setDefault(true);
    Label1 = new QLabel(this);
    Label1->setAlignment(Qt::AlignCenter);
    CheckBox1 = new QCheckBox(QStringLiteral("Never show hints on startup"), this);

    auto* side = new QVBoxLayout;
    side->addWidget(CancelBtn);
    side->addStretch();
    side->addWidget(Label1);
    side->addStretch();
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(8, 8, 8, 6);
    layout->addWidget(panel, 0, 0);
    layout->addLayout(side, 0, 1);
    layout->addWidget(CheckBox1, 1, 0, 1, 2);
    layout->setColumnStretch(0, 1);

    connect(NextButton, &QPushButton::clicked, this, &THintTipsForm::NextButtonClick);
    connect(PreviousButton, &QPushButton::clicked, this, &THintTipsForm::PreviousButtonClick);
    connect(CancelBtn, &QPushButton::clicked, this, &THintTipsForm::CancelBtnClick);
    connect(CheckBox1, &QCheckBox::toggled, this, [this](bool checked) {
        QFont f = CheckBox1->font();
        f.setBold(checked);
        CheckBox1->setFont(f);
    });
    ShowTip();
}

void THintTipsForm::ShowTip()
{
    const TTip& tip = Tips[size_t(FHintIndex - 1)];
    Label1->setText(QStringLiteral("%1 / %2").arg(FHintIndex).arg(TipCount));
    InfoLabel->setText(QString::fromLatin1(tip.First));
    InfoLabel2->setText(QString::fromLatin1(tip.Second));
    QPalette pal = InfoLabel->palette();
    pal.setColor(QPalette::WindowText, tip.Red ? QColor(Qt::red) : palette().color(QPalette::WindowText));
    InfoLabel->setPalette(pal);
    QFont f = InfoLabel->font();
    f.setPointSize(tip.PointSize);
    InfoLabel->setFont(f);
}

void THintTipsForm::NextButtonClick()
{
    FHintIndex = FHintIndex % TipCount + 1;
    ShowTip();
}

void THintTipsForm::PreviousButtonClick()
{
    FHintIndex = FHintIndex == 1 ? TipCount : FHintIndex - 1;
    ShowTip();
}

void THintTipsForm::CancelBtnClick()
{
    reject();
}

void THintTipsForm::reject()
{
    if (MainForm)
        MainForm->FShowTips = !CheckBox1->isChecked();
    QDialog::reject();
}

void THintTipsForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (MainForm)
        CheckBox1->setChecked(!MainForm->FShowTips);
}
