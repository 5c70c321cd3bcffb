// Every test runs with an event loop available, as the program does; window tests offscreen.
#include <QStandardPaths>
#include <gtest/gtest.h>
#ifdef KT_TEST_GUI
#include "app/ui/AppForms.h"
#include "help/ui/HintTipsUnit.h"
#include <QApplication>
#include <QTimer>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv)
{
#ifdef KT_TEST_GUI
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    TestApplication app(argc, argv);
    // Preferences and other user files go to a test folder, never the user's own.
    QStandardPaths::setTestModeEnabled(true);
#ifdef KT_TEST_GUI
    // A first run shows the hints-and-tips window modally; nobody answers it in a test.
    QTimer tipsCloser;
    QObject::connect(&tipsCloser, &QTimer::timeout, [] {
        if (HintTipsForm && HintTipsForm->isVisible())
            HintTipsForm->reject();
    });
    tipsCloser.start(20);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
