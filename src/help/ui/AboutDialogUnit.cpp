#include "help/ui/AboutDialogUnit.h"

#include <QDesktopServices>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QUrl>
#include <QVBoxLayout>

TAboutDialog::TAboutDialog(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(335, 230);
    OpenUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };

    Image1 = new QLabel(this);
    Image1->setPixmap(QPixmap(QStringLiteral(":/AboutLogo")));
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->setToolTip(QString::fromLatin1(MakerWebAddress));
    InfoLabel = new QLabel(this);
    QFont bold = font();
    bold.setBold(true);
    InfoLabel->setFont(bold);
    SiteLabel = new QLabel(QString::fromLatin1(MakerWebAddress), this);
    SiteLabel->setCursor(Qt::PointingHandCursor);
    SetSiteHighlighted(false);
    for (QLabel* link : {Image1, SiteLabel})
        link->installEventFilter(this);

    auto* top = new QHBoxLayout;
    top->addWidget(Image1, 0, Qt::AlignTop);
    top->addWidget(InfoLabel, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addLayout(top, 1);
    layout->addWidget(SiteLabel, 0, Qt::AlignHCenter);
}

void TAboutDialog::OpenSite()
{
    OpenUrl(QUrl(QStringLiteral("http://") + SiteLabel->text()));
}

void TAboutDialog::SetSiteHighlighted(bool highlighted)
{
    QFont f = font();
    f.setBold(true);
    f.setPointSize(12);
    f.setUnderline(highlighted);
    SiteLabel->setFont(f);
    QPalette pal = SiteLabel->palette();
    pal.setColor(QPalette::WindowText, highlighted ? QColor(Qt::blue) : palette().color(QPalette::WindowText));
    SiteLabel->setPalette(pal);
}

bool TAboutDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        OpenSite();
    else if (watched == SiteLabel && event->type() == QEvent::Enter)
        SetSiteHighlighted(true);
    else if (watched == SiteLabel && event->type() == QEvent::Leave)
        SetSiteHighlighted(false);
    return QDialog::eventFilter(watched, event);
}
