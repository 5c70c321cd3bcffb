#include "help/ui/HintTipsUnit.h"

THintTipsForm::THintTipsForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("HintTipsForm"));
    setWindowTitle(QStringLiteral("Hints & Tips"));
    setFixedSize(384, 174);
}
