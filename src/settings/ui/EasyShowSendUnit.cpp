#include "settings/ui/EasyShowSendUnit.h"

TEasyShowSendForm::TEasyShowSendForm(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("EasyShowSendForm"));
    setWindowTitle(QStringLiteral("Show Send Commands"));
    resize(640, 320);
}
