#include "app/ui/ScopeUnit.h"

#include <QTimer>

TScopeForm::TScopeForm(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("ScopeForm"));
    setWindowTitle(QStringLiteral("Scope"));
    resize(944, 509);
    setMinimumSize(620, 200);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xCD, 0xCD, 0xCD));
    setPalette(pal);
    UpdateTimer = new QTimer(this);
    UpdateTimer->setInterval(100);
}
