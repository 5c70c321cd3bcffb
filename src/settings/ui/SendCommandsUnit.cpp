#include "settings/ui/SendCommandsUnit.h"

#include <QListWidget>
#include <QVBoxLayout>

TSendCommands::TSendCommands(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("SendComForm"));
    setWindowTitle(QStringLiteral("Send Commands"));
    resize(560, 420);
    ListBox1 = new QListWidget(this);
    QFont mono(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    ListBox1->setFont(mono);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListBox1);
}

void TSendCommands::AddReportLine(const QString& line)
{
    ListBox1->addItem(line);
    ListBox1->setCurrentRow(ListBox1->count() - 1);
}
