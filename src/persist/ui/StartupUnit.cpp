#include "persist/ui/StartupUnit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TStartupForm::TStartupForm(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("StartupForm"));
    setWindowTitle(QStringLiteral("Startup Mode"));

    HeaderLabel = new QLabel(QStringLiteral("Select startup mode :"), this);
    QFont header = HeaderLabel->font();
    header.setBold(true);
    header.setPointSize(header.pointSize() + 2);
    HeaderLabel->setFont(header);

    WheelButton = PictureButton(QStringLiteral("Wheel"), QStringLiteral(":/BoardWheel"), 1);
    Keys3Button = PictureButton(QStringLiteral("3 Discrete Keys"), QStringLiteral(":/BoardKeys"), 2);
    Slider2Button = PictureButton(QStringLiteral("2 Channel Slider + Prox"), QStringLiteral(":/BoardSlider2"), 3);
    Slider3Button = PictureButton(QStringLiteral("3 Channel Slider"), QStringLiteral(":/BoardSlider3"), 4);
    WheelButton->setObjectName(QStringLiteral("WheelButton"));
    Keys3Button->setObjectName(QStringLiteral("Keys3Button"));
    Slider2Button->setObjectName(QStringLiteral("Slider2Button"));
    Slider3Button->setObjectName(QStringLiteral("Slider3Button"));
    WheelButton->setDefault(true);

    CustomConfigButton = new QPushButton(QStringLiteral("Default Device Setup"), this);
    CustomConfigButton->setObjectName(QStringLiteral("CustomConfigButton"));
    connect(CustomConfigButton, &QPushButton::clicked, this, [this] { Choose(DefaultSetup); });
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    connect(CancelButton, &QPushButton::clicked, this, [this] { Choose(Cancelled); });
    for (QPushButton* b : {CustomConfigButton, CancelButton}) {
        b->setAutoDefault(false);
        b->setMinimumSize(150, 28);
    }

    FileLabel = new QLabel(QStringLiteral("* Use \"Default Device Setup\" when loading settings from a file."), this);
    FileLabel->setObjectName(QStringLiteral("FileLabel"));
    FileLabel->setStyleSheet(QStringLiteral("color: #FF0000;"));
    FileLabel->hide();

    auto* boards = new QGridLayout;
    boards->setSpacing(10);
    boards->addWidget(WheelButton, 0, 0);
    boards->addWidget(Keys3Button, 0, 1);
    boards->addWidget(Slider2Button, 0, 2);
    boards->addWidget(Slider3Button, 0, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CustomConfigButton);
    buttons->addWidget(CancelButton);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(10);
    layout->addWidget(HeaderLabel);
    layout->addLayout(boards);
    layout->addLayout(buttons);
    layout->addWidget(FileLabel, 0, Qt::AlignHCenter);
    // The hidden label keeps its room, so the window does not change size with it.
    QSizePolicy keep = FileLabel->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    FileLabel->setSizePolicy(keep);
    setFixedSize(sizeHint());
}

QPushButton* TStartupForm::PictureButton(const QString& caption, const QString& picture, uint8_t code)
{
    auto* button = new QPushButton(this);
    button->setAutoDefault(false);
    button->setFixedSize(170, 160);
    auto* column = new QVBoxLayout(button);
    column->setContentsMargins(6, 8, 6, 8);
    auto* image = new QLabel(button);
    image->setPixmap(QPixmap(picture));
    image->setAlignment(Qt::AlignCenter);
    image->setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* text = new QLabel(caption, button);
    text->setAlignment(Qt::AlignCenter);
    text->setWordWrap(true);
    text->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont bold = text->font();
    bold.setBold(true);
    text->setFont(bold);
    column->addWidget(image, 1);
    column->addWidget(text);
    button->setAccessibleName(caption);
    button->setToolTip(caption);
    connect(button, &QPushButton::clicked, this, [this, code] { Choose(code); });
    return button;
}

void TStartupForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    WheelButton->setFocus();
}

void TStartupForm::Choose(uint8_t code)
{
    FStartupOption = code;
    done(code == Cancelled ? QDialog::Rejected : QDialog::Accepted);
}

uint8_t TStartupForm::Execute()
{
    // Closing the window or Escape is a cancel.
    FStartupOption = Cancelled;
    exec();
    return FStartupOption;
}
