#include "app/ui/PictureBox.h"

#include <QPainter>

TPictureBox::TPictureBox(QWidget* parent) : QWidget(parent) {}

void TPictureBox::SetPicture(const QImage& picture)
{
    FPicture = picture;
    update();
}

void TPictureBox::paintEvent(QPaintEvent*)
{
    if (FPicture.isNull())
        return;
    QPainter p(this);
    p.drawImage((width() - FPicture.width()) / 2, (height() - FPicture.height()) / 2, FPicture);
}
