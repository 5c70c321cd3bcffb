// The register table and the raw report list.
#include "settings_support.h"

#include "settings/ui/EasyShowSendUnit.h"
#include "settings/ui/SendCommandsUnit.h"

#include <QFile>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

using namespace settingsui;

namespace {

QStringList RowCells(const QTableView* grid, int row)
{
    QStringList cells;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        cells << grid->model()->index(row, c).data().toString();
    return cells;
}

} // namespace

TEST_F(SettingsFormTest, settings_RegisterTableShowsEachLoggedWrite)
{
    PowerOn();
    TEasyShowSendForm table(*Core);
    EXPECT_EQ(table.windowTitle(), QStringLiteral("Show Send Commands"));
    EXPECT_EQ(table.Label1->text(), QStringLiteral("*All Data values are Hexadecimal"));
    const QAbstractItemModel* model = table.StringGrid1->model();
    ASSERT_EQ(model->columnCount(), 13);
    QStringList headers;
    for (int c = 0; c < 13; ++c)
        headers << model->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headers.join(','), QStringLiteral("#,Address,Length,Data1,Data2,Data3,Data4,Data5,Data6,Data7,Data8,"
                                                "Data9,Data10"));
    EXPECT_EQ(table.StringGrid1->columnWidth(0), 20);

    // Clear leaves one empty row, and the next write becomes row 1.
    table.ClearButton->click();
    EXPECT_EQ(table.ListCount(), 0);
    ASSERT_EQ(model->rowCount(), 1);
    EXPECT_EQ(RowCells(table.StringGrid1, 0).join(QString()), QString());

    Core->RegOps->WriteAllThr(); // the defaults
    ASSERT_EQ(table.ListCount(), 1);
    EXPECT_EQ(RowCells(table.StringGrid1, 0).join(QStringLiteral(" | ")),
              QStringLiteral("1 | 0x0A | 8 | 0x04 | 0x10 | 0x10 | 0x10 | 0x03 | 0x00 | 0x14 | 0x04 |  | "));

    Core->RegOps->ReseedBtnClick();
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_EQ(RowCells(table.StringGrid1, 1).mid(0, 4).join(' '), QStringLiteral("2 0x09 1 0x08"));
    EXPECT_EQ(table.StringGrid1->selectionModel()->selectedRows().value(0).row(), 1);
}

TEST_F(SettingsFormTest, settings_MemoryMapWritesShowOnlyWhileTheTableIsOpen)
{
    PowerOn();
    TEasyShowSendForm table(*Core);
    table.ClearButtonClick();
    Form->MMAddressEdit->setText(QStringLiteral("0A"));
    Form->MMDataEdit->setText(QStringLiteral("07"));

    ASSERT_FALSE(Core->FEasyShowSend);
    Form->WriteMMButton->click();
    EXPECT_EQ(uint8_t(Sim.ChipRegister(0x0A)[0]), 7);
    EXPECT_EQ(table.ListCount(), 0);

    Core->FEasyShowSend = true; // opened from the menu
    table.show();
    Form->WriteMMButton->click();
    EXPECT_EQ(table.ListCount(), 1);

    table.CloseButton->click();
    EXPECT_FALSE(table.isVisible());
    EXPECT_FALSE(Core->FEasyShowSend);
    Form->WriteMMButton->click();
    EXPECT_EQ(table.ListCount(), 1);
}

TEST_F(SettingsFormTest, settings_ReportLinesHoldThirtySevenBytes)
{
    PowerOn();
    TSendCommands reports;
    EXPECT_EQ(reports.windowTitle(), QStringLiteral("Send Commands"));
    EXPECT_TRUE(reports.OKBtn->isDefault());
    reports.show();
    reports.Hook(Core->KorvaneHidTool1.get());
    Core->RegOps->WriteAllThr();  // a long write
    Core->RegOps->ReadAllThr();   // a short read
    Core->RegOps->ReadActualBase();
    ASSERT_GE(reports.ListBox1->count(), 3);
    for (int i = 0; i < reports.ListBox1->count(); ++i) {
        const QString line = reports.ListBox1->item(i)->text();
        EXPECT_TRUE(line.endsWith(QLatin1Char(' ')));
        const QStringList bytes = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        ASSERT_EQ(bytes.size(), 37) << line.toStdString();
        for (const QString& b : bytes)
            EXPECT_TRUE(b.size() == 2 && b == b.toUpper()) << b.toStdString();
    }
    EXPECT_EQ(reports.ListBox1->currentRow(), reports.ListBox1->count() - 1);

    // Closing stops the recording.
    const int lines = reports.ListBox1->count();
    reports.OKBtn->click();
    EXPECT_FALSE(reports.isVisible());
    EXPECT_FALSE(bool(Core->KorvaneHidTool1->OnSendCommands));
    Core->RegOps->ReadAllThr();
    EXPECT_EQ(reports.ListBox1->count(), lines);
}

TEST_F(SettingsFormTest, settings_ReportListSavesToAFile)
{
    TSendCommands reports;
    TKvrByteArray report{};
    report[1] = 0x0B;
    report[2] = 0xFE;
    reports.AddReport(report);
    reports.AddReportLine(QStringLiteral("second"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sent.txt"));
    reports.AskSaveFileName = [&path] { return path; };
    reports.Button1->click();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), TSendCommands::ReportLine(report).toLatin1() + "\r\nsecond\r\n");
    ASSERT_EQ(reports.ListBox1->count(), 3);
    EXPECT_EQ(reports.ListBox1->item(2)->text(), QStringLiteral("File saved successfully"));

    // A file that cannot be written: the list keeps its lines and says why.
    reports.AskSaveFileName = [&dir] { return dir.filePath(QStringLiteral("missing/folder/sent.txt")); };
    reports.Button1->click();
    ASSERT_EQ(reports.ListBox1->count(), 4);
    EXPECT_TRUE(reports.ListBox1->item(3)->text().startsWith(QStringLiteral("Unable to save file: ")));
    EXPECT_EQ(reports.ListBox1->item(0)->text(), TSendCommands::ReportLine(report));

    // Cancelled dialog: nothing happens.
    reports.AskSaveFileName = [] { return QString(); };
    reports.Button1->click();
    EXPECT_EQ(reports.ListBox1->count(), 4);

    reports.Button2->click();
    EXPECT_EQ(reports.ListBox1->count(), 0);
}

TEST_F(SettingsFormTest, settings_ReportWindowButtonsFollowTheList)
{
    TSendCommands reports;
    for (const QSize size : {QSize(600, 300), QSize(900, 500)}) {
        reports.resize(size);
        reports.show();
        WaitUntil([&] { return reports.size() == size; }, 500);
        const QRect list = reports.ListBox1->geometry();
        const QRect save = reports.Button1->geometry(), clear = reports.Button2->geometry(), ok = reports.OKBtn->geometry();
        EXPECT_EQ(save.top(), list.bottom() + 1 + 5);
        EXPECT_EQ(ok.top(), save.top());
        EXPECT_EQ(clear.top(), save.top());
        EXPECT_EQ(save.left(), list.left());
        EXPECT_EQ(ok.right(), list.right());
        const int gapCentre = (save.right() + 1 + ok.left()) / 2;
        EXPECT_LE(std::abs(clear.center().x() - gapCentre), 1);
        EXPECT_LE(save.bottom(), reports.height());
    }
}
