#include "settings/ui/SendCommandsUnit.h"

#include "app/MainCore.h"
#include "app/ui/AppForms.h"
#include "app/ui/MainUnit.h"
#include "persist/AtomicFile.h"
#include "persist/Preferences.h"
#include "settings/ui/FormGeometry.h"
#include "toollink/KorvaneHIDTool.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

namespace {
const QString Section = QString::fromLatin1(TPreferences::SendComSection);
constexpr int ReportBytes = 37;
constexpr int Margin = 8;
constexpr int ButtonGap = 5;
} // namespace

TSendCommands::TSendCommands(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("SendComForm"));
    setWindowTitle(QStringLiteral("Send Commands"));
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setUniformItemSizes(true);
    QFont mono(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    ListBox1->setFont(mono);
    Button1 = new QPushButton(QStringLiteral("Save To File"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(QStringLiteral("Clear"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    OKBtn = new QPushButton(QStringLiteral("Close"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TSendCommands::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TSendCommands::Button2Click);
    connect(OKBtn, &QPushButton::clicked, this, &TSendCommands::OKBtnClick);

    AskSaveFileName = [this] {
        // The dialog asks before it overwrites a file.
        return QFileDialog::getSaveFileName(this, QStringLiteral("Save To File"), QString(),
                                            QStringLiteral("Text files (*.txt);;All files (*)"));
    };
    // Room for a whole report line.
    const int line = ListBox1->fontMetrics().horizontalAdvance(QString(ReportBytes * 3, QLatin1Char('0')));
    resize(line + 2 * Margin + 32, 420);
    // Narrower than the three buttons side by side, they would overlap.
    setMinimumSize(2 * Margin + 96 + 80 + 80 + 4 * ButtonGap, 2 * Margin + 20 + ButtonGap + Button1->sizeHint().height());
}

TSendCommands::~TSendCommands()
{
    Unhook();
    if (FFormActivated)
        FormGeometry::WriteGeometry(this, Section); // errors are ignored
}

void TSendCommands::Hook(TKorvaneHidTool* tool)
{
    Unhook();
    FTool = tool;
    if (FTool)
        FTool->OnSendCommands = [this](const TKvrByteArray& report) { AddReport(report); };
}

void TSendCommands::Unhook()
{
    if (FTool)
        FTool->OnSendCommands = nullptr;
    else if (MainForm)
        MainForm->Core().KorvaneHidTool1->OnSendCommands = nullptr; // hooked by the main window itself
    FTool = nullptr;
}

QString TSendCommands::ReportLine(const TKvrByteArray& report)
{
    static const char digits[] = "0123456789ABCDEF";
    QString line;
    line.reserve(ReportBytes * 3);
    for (int i = 0; i < ReportBytes; ++i) {
        line += QLatin1Char(digits[report[size_t(i)] >> 4]);
        line += QLatin1Char(digits[report[size_t(i)] & 0x0F]);
        line += QLatin1Char(' ');
    }
    return line;
}

void TSendCommands::AddReport(const TKvrByteArray& report)
{
    AddReportLine(ReportLine(report));
}

void TSendCommands::AddReportLine(const QString& line)
{
    ListBox1->addItem(line);
    ListBox1->setCurrentRow(ListBox1->count() - 1);
}

bool TSendCommands::SaveToFile(const QString& fileName, QString& error) const
{
    QByteArray text;
    for (int i = 0; i < ListBox1->count(); ++i)
        text += ListBox1->item(i)->text().toLatin1() + "\r\n";
    return AtomicFile::Write(fileName, text, &error);
}

void TSendCommands::Button1Click()
{
    const QString fileName = AskSaveFileName ? AskSaveFileName() : QString();
    if (fileName.isEmpty())
        return;
    QString error;
    if (SaveToFile(fileName, error))
        AddReportLine(QStringLiteral("File saved successfully"));
    else
        AddReportLine(QStringLiteral("Unable to save file: %1").arg(error));
}

void TSendCommands::Button2Click()
{
    ListBox1->clear();
}

void TSendCommands::OKBtnClick()
{
    close();
}

void TSendCommands::FormActivate()
{
    FFormActivated = true;
    if (FSetupFormIni) {
        FSetupFormIni = false;
        FormGeometry::ReadGeometry(this, Section); // errors are ignored
    }
}

void TSendCommands::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TSendCommands::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (FRunLTApply) {
        FRunLTApply = false;
        move(FRunLeft, FRunTop);
    }
}

void TSendCommands::closeEvent(QCloseEvent* event)
{
    Unhook();
    FRunLeft = frameGeometry().left();
    FRunTop = frameGeometry().top();
    FRunLTApply = true;
    event->accept();
}

void TSendCommands::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    ArrangeButtons();
}

// Buttons 5 pixels below the list: "Save To File" at its left edge, "Close" at its right edge and "Clear"
// centred between them.
void TSendCommands::ArrangeButtons()
{
    const int buttonHeight = std::max(Button1->sizeHint().height(), OKBtn->sizeHint().height());
    const int listHeight = std::max(height() - 2 * Margin - ButtonGap - buttonHeight, 20);
    ListBox1->setGeometry(Margin, Margin, std::max(width() - 2 * Margin, 20), listHeight);
    const QRect list = ListBox1->geometry();
    const int top = list.bottom() + 1 + ButtonGap;
    const int width1 = std::max(Button1->sizeHint().width(), 96);
    const int width2 = std::max(Button2->sizeHint().width(), 80);
    const int widthOK = std::max(OKBtn->sizeHint().width(), 80);
    Button1->setGeometry(list.left(), top, width1, buttonHeight);
    OKBtn->setGeometry(list.right() + 1 - widthOK, top, widthOK, buttonHeight);
    const int gapLeft = Button1->geometry().right() + 1, gapRight = OKBtn->geometry().left();
    Button2->setGeometry(gapLeft + (gapRight - gapLeft - width2) / 2, top, width2, buttonHeight);
}
