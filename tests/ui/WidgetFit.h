#pragma once
// Layout faults that a user sees in any window: a label, button or header text cut off by its rectangle,
// visible sibling controls lying over each other or sticking out of their parent, push buttons touching, and a
// button whose caption fills it edge to edge. Each fault is one readable line naming the widgets.

#include <QSize>
#include <QStringList>

class QWidget;

QStringList LayoutFaults(const QWidget* window);

// Resizes the window (within its minimum and maximum), lets the layouts settle and returns its faults.
QStringList LayoutFaultsAt(QWidget* window, const QSize& size);
