#include "app/ui/StatisticsWindow.h"

#include "app/ui/SnrDialog.h"
#include "app/ui/StatisticsPanel.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TStatisticsWindow::TStatisticsWindow(TMainCore& core, QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Tool), FCore(core), FMainWindow(mainWindow)
{
    setObjectName(QStringLiteral("StatisticsWindow"));
    setWindowTitle(QStringLiteral("Statistics"));
    Panel = new TStatisticsPanel(core, false, this);
    SnrButton = new QPushButton(QStringLiteral("SNR Measurement..."), this);
    SnrButton->setObjectName(QStringLiteral("SnrButton"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(Panel);
    layout->addWidget(SnrButton);
    connect(SnrButton, &QPushButton::clicked, this, &TStatisticsWindow::SnrButtonClick);
}

void TStatisticsWindow::ShowBeside()
{
    if (!FPlaced) {
        FPlaced = true;
        adjustSize();
        const QRect main = FMainWindow->frameGeometry();
        const QScreen* screen = FMainWindow->screen() ? FMainWindow->screen() : QGuiApplication::primaryScreen();
        const QRect area = screen->availableGeometry();
        const QSize size = frameGeometry().size();
        // Right of the main window when there is room, else over its right end; always on screen.
        int x = main.right() + 1 + 4;
        if (x + size.width() > area.right() + 1)
            x = main.right() + 1 - size.width();
        x = std::clamp(x, area.left(), std::max(area.left(), area.right() + 1 - size.width()));
        const int y = std::clamp(main.top(), area.top(), std::max(area.top(), area.bottom() + 1 - size.height()));
        move(x, y);
    }
    show();
    raise();
    activateWindow();
}

void TStatisticsWindow::SnrButtonClick()
{
    if (!FSnr)
        FSnr = new TSnrDialog(FCore, this);
    FSnr->show();
    FSnr->raise();
    FSnr->activateWindow();
}
