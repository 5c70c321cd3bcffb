#include "settings/ui/FormGeometry.h"

#include "persist/Preferences.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <optional>

namespace FormGeometry {

namespace {

QString& OtherFile()
{
    static QString path;
    return path;
}

QString FilePath()
{
    return OtherFile().isEmpty() ? TPreferences::DefaultFilePath() : OtherFile();
}

} // namespace

TWindowGeometry Current(const QWidget* window)
{
    const QRect frame = window->frameGeometry();
    return TWindowGeometry{frame.left(), frame.top(), frame.width(), frame.height(), window->isMaximized()};
}

QList<QRect> Monitors()
{
    QList<QRect> monitors;
    for (const QScreen* s : QGuiApplication::screens())
        monitors << s->geometry();
    return monitors;
}

void SetPreferencesFile(const QString& path)
{
    OtherFile() = path;
}

QString PreferencesFile()
{
    return FilePath();
}

bool ReadGeometry(QWidget* window, const QString& section)
{
    TPreferences preferences(FilePath());
    std::optional<TWindowGeometry> placement;
    if (!preferences.ReadFormGeometry(section, Current(window), Monitors(), placement))
        return false;
    if (placement)
        Apply(window, *placement);
    return true;
}

void Apply(QWidget* window, const TWindowGeometry& placement)
{
    window->move(placement.Left, placement.Top);
    if (placement.Maximised) {
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
        return;
    }
    // The stored size is the outer one; the frame's share is what the window manager adds.
    const QSize border = window->frameGeometry().size() - window->geometry().size();
    window->resize(std::max(placement.Width - border.width(), 1), std::max(placement.Height - border.height(), 1));
}

bool WriteGeometry(QWidget* window, const QString& section)
{
    TPreferences preferences(FilePath());
    return preferences.WriteFormGeometry(section, Current(window));
}

} // namespace FormGeometry
