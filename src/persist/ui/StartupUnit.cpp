#include "persist/ui/StartupUnit.h"

TStartupForm::TStartupForm(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("StartupForm"));
    setWindowTitle(QStringLiteral("Startup Mode"));
    setFixedSize(640, 330);
}
