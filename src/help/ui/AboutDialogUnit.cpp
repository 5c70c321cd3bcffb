#include "help/ui/AboutDialogUnit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

TAboutDialog::TAboutDialog(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(335, 230);

    Image1 = new QLabel(this);
    Image1->setPixmap(QPixmap(QStringLiteral(":/AboutLogo")));
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->setToolTip(QString::fromLatin1(MakerWebAddress));
    InfoLabel = new QLabel(this);
    QFont bold = font();
    bold.setBold(true);
    InfoLabel->setFont(bold);
    SiteLabel = new QLabel(QString::fromLatin1(MakerWebAddress), this);
    QFont site = bold;
    site.setPointSize(12);
    SiteLabel->setFont(site);
    SiteLabel->setCursor(Qt::PointingHandCursor);

    auto* top = new QHBoxLayout;
    top->addWidget(Image1, 0, Qt::AlignTop);
    top->addWidget(InfoLabel, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addLayout(top, 1);
    layout->addWidget(SiteLabel, 0, Qt::AlignHCenter);
}
