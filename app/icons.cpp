#include "app/icons.h"

#include <QPainter>
#include <QPainterPath>

namespace mv::icons {

namespace {

QImage draw(Command which)
{
    QImage img(24, 24, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    switch (which) {
    case Command::Import: {
        // A photo with an arrow coming into it.
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(QColor(120, 170, 220));
        p.drawRect(QRectF(8.5, 8.5, 14, 12));
        p.setBrush(QColor(80, 150, 60));
        p.drawEllipse(QRectF(11, 11, 4, 4));
        QPainterPath arrow;
        arrow.moveTo(1, 3);
        arrow.lineTo(9, 3);
        arrow.lineTo(9, 0.5);
        arrow.lineTo(14, 6);
        arrow.lineTo(9, 11.5);
        arrow.lineTo(9, 9);
        arrow.lineTo(1, 9);
        arrow.closeSubpath();
        p.setBrush(QColor(40, 160, 40));
        p.setPen(QPen(QColor(20, 90, 20), 1));
        p.drawPath(arrow);
        break;
    }
    case Command::Edit: {
        // A pencil across a picture.
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(QColor(235, 235, 235));
        p.drawRect(QRectF(2.5, 4.5, 16, 14));
        p.translate(13, 12);
        p.rotate(-45);
        p.setBrush(QColor(240, 190, 40));
        p.drawRect(QRectF(-9, -2.5, 14, 5));
        QPainterPath tip;
        tip.moveTo(5, -2.5);
        tip.lineTo(10, 0);
        tip.lineTo(5, 2.5);
        tip.closeSubpath();
        p.setBrush(QColor(250, 220, 170));
        p.drawPath(tip);
        break;
    }
    case Command::Delete: {
        p.setPen(QPen(QColor(200, 30, 30), 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5, 5), QPointF(19, 19));
        p.drawLine(QPointF(19, 5), QPointF(5, 19));
        break;
    }
    case Command::SlideShow: {
        p.setPen(QPen(QColor(60, 60, 60), 1));
        p.setBrush(QColor(40, 60, 110));
        p.drawRoundedRect(QRectF(1.5, 3.5, 21, 15), 2, 2);
        QPainterPath play;
        play.moveTo(9, 7);
        play.lineTo(16, 11);
        play.lineTo(9, 15);
        play.closeSubpath();
        p.setBrush(QColor(250, 250, 250));
        p.setPen(Qt::NoPen);
        p.drawPath(play);
        p.setPen(QPen(QColor(60, 60, 60), 2));
        p.drawLine(QPointF(12, 19), QPointF(12, 22));
        p.drawLine(QPointF(7, 22.5), QPointF(17, 22.5));
        break;
    }
    }
    return img;
}

QImage grey(const QImage &src)
{
    QImage g = src.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < g.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(g.scanLine(y));
        for (int x = 0; x < g.width(); ++x) {
            const int v = 128 + qGray(line[x]) / 2;
            line[x] = qRgba(v, v, v, qAlpha(line[x]) / 2);
        }
    }
    return g;
}

} // namespace

QIcon command(Command which)
{
    const QImage img = draw(which);
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(img), QIcon::Normal);
    icon.addPixmap(QPixmap::fromImage(grey(img)), QIcon::Disabled);
    return icon;
}

} // namespace mv::icons
