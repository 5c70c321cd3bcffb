// Draws the program's pictures into the folder given as the only argument (the resources folder).
// Run by hand when a picture changes; the PNG files it writes are kept in the source tree.

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cstdio>

namespace {

const QColor Navy(0x00, 0x00, 0x80);
const QColor DarkBlue(0x00, 0x40, 0x80);

QImage NewImage(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QFont PictureFont(int pixelSize, bool bold = true)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QImage WaitText()
{
    QImage image = NewImage(320, 110);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(DarkBlue);
    p.setFont(PictureFont(38));
    p.drawText(QRect(0, 4, 320, 52), Qt::AlignCenter, QStringLiteral("Please Wait..."));
    p.setPen(QColor(0x55, 0x55, 0x55));
    p.setFont(PictureFont(24, false));
    p.drawText(QRect(0, 60, 320, 40), Qt::AlignCenter, QStringLiteral("Loading settings"));
    return image;
}

// A thick arrow pointing left or right with its caption below.
QImage FlickArrow(bool left)
{
    const int w = 170, h = 100;
    QImage image = NewImage(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath arrow;
    arrow.moveTo(10, 35);
    arrow.lineTo(60, 5);
    arrow.lineTo(60, 22);
    arrow.lineTo(160, 22);
    arrow.lineTo(160, 48);
    arrow.lineTo(60, 48);
    arrow.lineTo(60, 65);
    arrow.closeSubpath();
    if (!left)
        arrow = QTransform(-1, 0, 0, 1, w, 0).map(arrow);
    QLinearGradient fill(0, 5, 0, 65);
    fill.setColorAt(0, QColor(0x55, 0x9C, 0xE8));
    fill.setColorAt(1, DarkBlue);
    p.setBrush(fill);
    p.setPen(QPen(Navy, 2));
    p.drawPath(arrow);
    p.setPen(Navy);
    p.setFont(PictureFont(18));
    p.drawText(QRect(0, 68, w, 30), Qt::AlignCenter, left ? QStringLiteral("Flick Left") : QStringLiteral("Flick Right"));
    return image;
}

QImage TapButton()
{
    const int s = 110;
    QImage image = NewImage(s, s);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient face(s * 0.4, s * 0.35, s * 0.6);
    face.setColorAt(0, QColor(0xCF, 0xE6, 0xFF));
    face.setColorAt(1, QColor(0x3A, 0x7F, 0xC8));
    p.setPen(QPen(Navy, 3));
    p.setBrush(face);
    p.drawEllipse(QRectF(5, 5, s - 10, s - 10));
    p.setPen(QPen(QColor(255, 255, 255, 160), 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(14, 14, s - 28, s - 28));
    p.setPen(Navy);
    p.setFont(PictureFont(32));
    p.drawText(QRect(0, 0, s, s), Qt::AlignCenter, QStringLiteral("Tap"));
    return image;
}

enum class Indicator { None, Prox, Touch };

// A round sensing electrode on its pad; prox adds field lines above it, touch a fingertip on it.
QImage ChannelIndicator(Indicator kind, int w, int h)
{
    QImage image = NewImage(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(w / 52.0, h / 39.0);
    QColor main = kind == Indicator::None ? QColor(0x9A, 0x9A, 0x9A)
                  : kind == Indicator::Prox ? QColor(0x00, 0x6B, 0xD7)
                                            : QColor(0xE0, 0x20, 0x20);
    // Pad.
    p.setPen(QPen(main.darker(140), 1.2));
    p.setBrush(main.lighter(kind == Indicator::None ? 130 : 160));
    p.drawRoundedRect(QRectF(6, 27, 40, 10), 3, 3);
    // Electrode.
    p.setBrush(main);
    p.drawEllipse(QRectF(16, 24, 20, 8));
    if (kind == Indicator::Prox) {
        p.setBrush(Qt::NoBrush);
        for (int i = 0; i < 3; ++i) {
            p.setPen(QPen(main, 2.0 - i * 0.4));
            QRectF arc(26 - 8 - i * 7, 18 - 4 - i * 5, 16 + i * 14, 10 + i * 10);
            p.drawArc(arc, 20 * 16, 140 * 16);
        }
    } else if (kind == Indicator::Touch) {
        QPainterPath finger;
        finger.moveTo(19, 2);
        finger.lineTo(19, 19);
        finger.cubicTo(19, 27, 33, 27, 33, 19);
        finger.lineTo(33, 2);
        finger.closeSubpath();
        p.setPen(QPen(QColor(0x80, 0x30, 0x20), 1.2));
        p.setBrush(QColor(0xF5, 0xC8, 0xA8));
        p.drawPath(finger);
        p.setPen(QPen(QColor(0xC0, 0x80, 0x70), 1));
        p.setBrush(QColor(0xFF, 0xEE, 0xE4));
        p.drawRoundedRect(QRectF(22, 14, 8, 8), 3, 3);
    }
    return image;
}

QImage ChipName()
{
    QImage image = NewImage(500, 150);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(QColor(0xC6, 0xE2, 0xFF));
    p.setFont(PictureFont(118));
    p.drawText(QRect(0, 0, 500, 150), Qt::AlignCenter, QStringLiteral("KT610"));
    return image;
}

QImage AboutLogo()
{
    const int s = 96;
    QImage image = NewImage(s, s);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient back(0, 0, 0, s);
    back.setColorAt(0, QColor(0x2A, 0x6E, 0xC0));
    back.setColorAt(1, Navy);
    p.setPen(Qt::NoPen);
    p.setBrush(back);
    p.drawRoundedRect(QRectF(2, 2, s - 4, s - 4), 14, 14);
    // Field lines around the letter, the maker's sign of a capacitive sensor.
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(QColor(0xAA, 0xD5, 0xFF, 200 - i * 50), 2.5));
        const double r = 24 + i * 7;
        p.drawArc(QRectF(s / 2.0 - r, s / 2.0 - r, 2 * r, 2 * r), 30 * 16, 120 * 16);
    }
    p.setPen(Qt::white);
    p.setFont(PictureFont(54));
    p.drawText(QRect(0, 10, s, s - 10), Qt::AlignCenter, QStringLiteral("K"));
    return image;
}

// A small USB dongle with a cog: the button that opens the tool setup window.
QImage ToolSetupIcon()
{
    const int s = 32;
    QImage image = NewImage(s, s);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Dongle body and plug.
    p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1));
    p.setBrush(QColor(0xB8, 0xB8, 0xB8));
    p.drawRect(QRectF(3.5, 11.5, 6, 9));
    p.setBrush(DarkBlue);
    p.drawRoundedRect(QRectF(9.5, 8.5, 14, 15), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x7F, 0xFF, 0x7F));
    p.drawEllipse(QRectF(19, 11, 3, 3));
    // Cog.
    QPainterPath cog;
    const QPointF c(23.5, 23.5);
    for (int i = 0; i < 8; ++i) {
        QTransform t;
        t.translate(c.x(), c.y());
        t.rotate(i * 45);
        cog.addPolygon(t.map(QPolygonF({{-1.6, -8.0}, {1.6, -8.0}, {1.6, -4.0}, {-1.6, -4.0}})));
    }
    cog.addEllipse(c, 6.0, 6.0);
    cog.setFillRule(Qt::WindingFill);
    p.setPen(QPen(QColor(0x40, 0x30, 0x00), 0.8));
    p.setBrush(QColor(0xF2, 0xB8, 0x1E));
    p.drawPath(cog.simplified());
    p.setBrush(Qt::white);
    p.drawEllipse(c, 2.4, 2.4);
    return image;
}

enum class Board { Wheel, Keys, Slider2, Slider3 };

// An evaluation board of the chooser: a green board with the chip, its connector and the copper
// electrodes of its use; CH0's proximity loop runs round the edge where the board has one.
QImage EvaluationBoard(Board kind)
{
    const int w = 150, h = 110;
    QImage image = NewImage(w, h);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor copper(0xD8, 0xA0, 0x50);
    const QColor copperEdge(0x8A, 0x5A, 0x20);
    QLinearGradient board(0, 0, 0, h);
    board.setColorAt(0, QColor(0x2E, 0x8B, 0x3E));
    board.setColorAt(1, QColor(0x1B, 0x5E, 0x28));
    p.setPen(QPen(QColor(0x10, 0x40, 0x18), 1.5));
    p.setBrush(board);
    p.drawRoundedRect(QRectF(2, 2, w - 4, h - 4), 8, 8);
    // Mounting holes.
    p.setPen(QPen(QColor(0xC0, 0xC0, 0xC0), 1.5));
    p.setBrush(QColor(0x10, 0x30, 0x14));
    for (const QPointF& c : {QPointF(10, 10), QPointF(w - 10, 10), QPointF(10, h - 10), QPointF(w - 10, h - 10)})
        p.drawEllipse(c, 3.2, 3.2);
    // Connector and chip along the bottom edge.
    p.setPen(QPen(QColor(0x20, 0x20, 0x20), 1));
    p.setBrush(QColor(0xE8, 0xE8, 0xE8));
    p.drawRect(QRectF(w / 2.0 - 20, h - 16, 40, 9));
    p.setBrush(QColor(0x18, 0x18, 0x18));
    p.drawRect(QRectF(w - 42, h - 28, 16, 12));
    p.setPen(QColor(0xE0, 0xE0, 0xE0));
    p.setFont(PictureFont(5, false));
    p.drawText(QRectF(w - 42, h - 28, 16, 12), Qt::AlignCenter, QStringLiteral("KT610"));

    p.setPen(QPen(copperEdge, 1.2));
    p.setBrush(copper);
    const QPointF centre(w / 2.0, 46);
    const bool prox = kind == Board::Wheel || kind == Board::Slider2;
    if (prox) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(copper, 3.5));
        p.drawRoundedRect(QRectF(16, 12, w - 32, 68), 10, 10);
        p.setPen(QPen(copperEdge, 1.2));
        p.setBrush(copper);
    }
    switch (kind) {
    case Board::Wheel:
        // Three segments of a ring, gaps between them.
        for (int i = 0; i < 3; ++i) {
            QPainterPath segment;
            const QRectF outer(centre.x() - 28, centre.y() - 28, 56, 56);
            const QRectF inner(centre.x() - 14, centre.y() - 14, 28, 28);
            const double start = 90 + i * 120 + 4, span = 112;
            segment.arcMoveTo(outer, start);
            segment.arcTo(outer, start, span);
            segment.arcTo(inner, start + span, -span);
            segment.closeSubpath();
            p.drawPath(segment);
        }
        break;
    case Board::Keys:
        for (int i = 0; i < 3; ++i)
            p.drawEllipse(QPointF(35 + i * 40, 42), 15, 15);
        break;
    case Board::Slider2:
    case Board::Slider3: {
        // Interleaved teeth make the position between neighbouring electrodes a ratio of their counts.
        const int channels = kind == Board::Slider2 ? 2 : 3;
        const double left = 26, right = w - 26, top = 32, bottom = 58;
        const double pitch = (right - left) / channels;
        for (int c = 0; c < channels; ++c) {
            const double x0 = left + c * pitch, x1 = x0 + pitch - 3;
            QPainterPath pad;
            pad.moveTo(x0, top);
            pad.lineTo(x1 - 8, top);
            pad.lineTo(x1, (top + bottom) / 2);
            pad.lineTo(x1 - 8, bottom);
            pad.lineTo(x0, bottom);
            if (c > 0)
                pad.lineTo(x0 + 8, (top + bottom) / 2);
            pad.closeSubpath();
            p.drawPath(pad);
        }
        break;
    }
    }
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: draw_pictures RESOURCE_FOLDER\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    const QList<QPair<QString, QImage>> pictures = {
        {"WaitText", WaitText()},
        {"FlickLeft", FlickArrow(true)},
        {"FlickRight", FlickArrow(false)},
        {"Tap", TapButton()},
        {"CHNone", ChannelIndicator(Indicator::None, 52, 39)},
        {"CHProx", ChannelIndicator(Indicator::Prox, 52, 39)},
        {"CHTouch", ChannelIndicator(Indicator::Touch, 52, 39)},
        {"CHNoneScope", ChannelIndicator(Indicator::None, 28, 21)},
        {"CHProxScope", ChannelIndicator(Indicator::Prox, 28, 21)},
        {"CHTouchScope", ChannelIndicator(Indicator::Touch, 28, 21)},
        {"KT610", ChipName()},
        {"AboutLogo", AboutLogo()},
        {"CtSetup", ToolSetupIcon()},
        {"BoardWheel", EvaluationBoard(Board::Wheel)},
        {"BoardKeys", EvaluationBoard(Board::Keys)},
        {"BoardSlider2", EvaluationBoard(Board::Slider2)},
        {"BoardSlider3", EvaluationBoard(Board::Slider3)},
    };
    for (const auto& [name, image] : pictures) {
        const QString path = dir.filePath(name + QStringLiteral(".png"));
        if (!image.save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
