#include "app/ui/GraphPicture.h"

TGraphPicture::TGraphPicture(QCustomPlot* plot) : QCPAbstractItem(plot)
{
    setSelectable(false);
    setClipToAxisRect(true);
}

void TGraphPicture::ShowCentred(const QPixmap& picture)
{
    FPicture = picture;
    FCentred = true;
}

void TGraphPicture::ShowAt(const QPixmap& picture, int left)
{
    FPicture = picture;
    FCentred = false;
    FLeft = left;
}

void TGraphPicture::Clear()
{
    FPicture = QPixmap();
}

QRect TGraphPicture::PictureRect() const
{
    const QRect area = clipRect();
    if (FPicture.isNull())
        return {};
    const int x = FCentred ? area.left() + (area.width() - FPicture.width()) / 2 : area.left() + FLeft;
    const int y = area.top() + (area.height() - FPicture.height()) / 2;
    return {QPoint(x, y), FPicture.size()};
}

void TGraphPicture::draw(QCPPainter* painter)
{
    if (!FPicture.isNull())
        painter->drawPixmap(PictureRect().topLeft(), FPicture);
}
