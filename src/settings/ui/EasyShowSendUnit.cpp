#include "settings/ui/EasyShowSendUnit.h"

#include "app/MainCore.h"
#include "app/ui/AppForms.h"
#include "app/ui/MainUnit.h"
#include "settings/RegisterOperations.h"
#include "settings/ui/CommandLogModel.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

TEasyShowSendForm::TEasyShowSendForm(QWidget* parent) : TEasyShowSendForm(MainForm->Core(), parent) {}

TEasyShowSendForm::TEasyShowSendForm(TMainCore& core, QWidget* parent)
    : QWidget(parent, Qt::Window), FCore(&core), FLog(&core.RegOps->CommandLog), FModel(new TCommandLogModel(*FLog, this))
{
    setObjectName(QStringLiteral("EasyShowSendForm"));
    setWindowTitle(QStringLiteral("Show Send Commands"));
    CreateControls();
    resize(700, 360);
    connect(FLog, &TSendCommandLog::RowAdded, this, &TEasyShowSendForm::SelectLastRow);
}

void TEasyShowSendForm::CreateControls()
{
    Label1 = new QLabel(QStringLiteral("*All Data values are Hexadecimal"), this);
    StringGrid1 = new QTableView(this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setModel(FModel);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setDefaultSectionSize(20);
    StringGrid1->horizontalHeader()->setDefaultSectionSize(52);
    StringGrid1->horizontalHeader()->setMinimumSectionSize(20);
    StringGrid1->setColumnWidth(0, 20);
    // Columns whose header is wider than the default take the header's width.
    for (int c = 1; c < FModel->columnCount(); ++c)
        StringGrid1->setColumnWidth(c, std::max(52, StringGrid1->horizontalHeader()->sectionSizeHint(c)));
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);

    ClearButton = new QPushButton(QStringLiteral("Clear"), this);
    ClearButton->setObjectName(QStringLiteral("ClearButton"));
    CloseButton = new QPushButton(QStringLiteral("Close"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    connect(ClearButton, &QPushButton::clicked, this, &TEasyShowSendForm::ClearButtonClick);
    connect(CloseButton, &QPushButton::clicked, this, &TEasyShowSendForm::CloseButtonClick);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ClearButton);
    buttons->addStretch(1);
    buttons->addWidget(CloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(StringGrid1, 1);
    layout->addLayout(buttons);
}

int TEasyShowSendForm::ListCount() const
{
    return FLog->ListCount();
}

void TEasyShowSendForm::ClearButtonClick()
{
    FLog->Clear();
}

void TEasyShowSendForm::CloseButtonClick()
{
    close();
}

void TEasyShowSendForm::closeEvent(QCloseEvent* event)
{
    FCore->FEasyShowSend = false;
    event->accept();
}

void TEasyShowSendForm::SelectLastRow()
{
    const int last = FModel->rowCount() - 1;
    StringGrid1->selectRow(last);
    StringGrid1->scrollTo(FModel->index(last, 0));
}
