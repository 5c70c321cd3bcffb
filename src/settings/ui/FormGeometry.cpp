#include "settings/ui/FormGeometry.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace FormGeometry {

namespace {

TReadKey ReadKey;
TWriteKey WriteKey;

bool ReadInt(const QString& section, const QString& key, int& value)
{
    QString text;
    if (!ReadKey(section, key, text))
        return false;
    if (text.trimmed().isEmpty())
        return true; // the current value stays
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (ok)
        value = n;
    return ok;
}

bool OnSomeMonitor(const QPoint& point)
{
    return QGuiApplication::screenAt(point) != nullptr;
}

} // namespace

void SetPreferences(TReadKey read, TWriteKey write)
{
    ReadKey = std::move(read);
    WriteKey = std::move(write);
}

bool ReadGeometry(QWidget* window, const QString& section)
{
    if (!ReadKey)
        return true;
    QString state;
    if (!ReadKey(section, QStringLiteral("State"), state))
        return false;
    const QRect frame = window->frameGeometry();
    int left = frame.left(), top = frame.top(), width = frame.width(), height = frame.height();
    if (!ReadInt(section, QStringLiteral("Left"), left) || !ReadInt(section, QStringLiteral("Top"), top))
        return false;
    if (state.trimmed() == QLatin1String("Max")) {
        // A maximised window's frame lies a few pixels outside its monitor.
        if (OnSomeMonitor(QPoint(left + 10, top + 10))) {
            window->move(left, top);
            window->setWindowState(window->windowState() | Qt::WindowMaximized);
        }
        return true;
    }
    if (!OnSomeMonitor(QPoint(left, top)))
        return true;
    window->move(left, top);
    if (!ReadInt(section, QStringLiteral("Width"), width) || !ReadInt(section, QStringLiteral("Height"), height))
        return false;
    // The stored size is the outer one; the frame's share is what the window manager adds.
    const QSize border = window->frameGeometry().size() - window->geometry().size();
    window->resize(std::max(width - border.width(), 1), std::max(height - border.height(), 1));
    return true;
}

bool WriteGeometry(QWidget* window, const QString& section)
{
    if (!WriteKey)
        return true;
    const QRect frame = window->frameGeometry();
    const bool maximised = window->isMaximized();
    bool ok = WriteKey(section, QStringLiteral("Width"), QString::number(frame.width()));
    ok = WriteKey(section, QStringLiteral("Height"), QString::number(frame.height())) && ok;
    ok = WriteKey(section, QStringLiteral("Left"), QString::number(frame.left())) && ok;
    ok = WriteKey(section, QStringLiteral("Top"), QString::number(frame.top())) && ok;
    ok = WriteKey(section, QStringLiteral("State"), maximised ? QStringLiteral("Max") : QStringLiteral("Nor")) && ok;
    return ok;
}

} // namespace FormGeometry
