// The message list as it grows for a whole run: time per added item (with its repaint) at several list
// sizes, in a shown window, offscreen.

#include "app/ui/KvrListBox.h"
#include "BenchReport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <iterator>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TKvrListBox list;
    list.SetItemsPrefix(QStringLiteral(" "));
    list.resize(261, 200);
    list.show();
    QApplication::processEvents();

    const int marks[] = {1000, 10000, 50000, 100000};
    int added = 0;
    std::printf("items      us/add (batch of 500, painted)\n");
    for (const int mark : marks) {
        while (added < mark - 500)
            list.KvrAddItem(QStringLiteral("Command sent successfully %1").arg(added++), TKvrItemType::aInfo);
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 500; ++i) {
            list.KvrAddItem(QStringLiteral("Unable to read the chip's version: timeout %1").arg(added++),
                            i % 7 ? TKvrItemType::aInfo : TKvrItemType::aError);
            QApplication::processEvents();
        }
        std::printf("%-10d %.1f\n", mark, timer.nsecsElapsed() / 1000.0 / 500);
        if (mark == marks[std::size(marks) - 1])
            BenchResult("message list add, 100,000 items", timer.nsecsElapsed() / 1000.0 / 500, "us", "<= 1000");
    }
    return 0;
}
