#include "platform/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace mv::icons {

namespace {

const QColor kOutline(60, 60, 60);

// A quarter-and-more turn with its arrow head, clockwise; the caller mirrors
// it for the other way.
void turnArrow(QPainter &p)
{
    const double cx = 12, cy = 12.5, r = 7.5;
    const double startDeg = 200, sweepDeg = -235;
    QPainterPath arc;
    arc.arcMoveTo(QRectF(cx - r, cy - r, 2 * r, 2 * r), startDeg);
    arc.arcTo(QRectF(cx - r, cy - r, 2 * r, 2 * r), startDeg, sweepDeg);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(40, 90, 170), 2.5, Qt::SolidLine, Qt::FlatCap));
    p.drawPath(arc);
    // The head points along the turn where the arc ends.
    const double end = (startDeg + sweepDeg) * M_PI / 180.0;
    const QPointF tip0(cx + r * std::cos(end), cy - r * std::sin(end));
    const QPointF along(std::sin(end), std::cos(end)); // clockwise tangent, y down
    const QPointF out(std::cos(end), -std::sin(end));
    QPainterPath head;
    head.moveTo(tip0 + along * 4.0);
    head.lineTo(tip0 + out * 3.5);
    head.lineTo(tip0 - out * 3.5);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 90, 170));
    p.drawPath(head);
}

// A broad arrow pointing left; the caller mirrors it for "next".
void stepArrow(QPainter &p)
{
    QPainterPath arrow;
    arrow.moveTo(2.5, 12);
    arrow.lineTo(11.5, 3.5);
    arrow.lineTo(11.5, 8.5);
    arrow.lineTo(21.5, 8.5);
    arrow.lineTo(21.5, 15.5);
    arrow.lineTo(11.5, 15.5);
    arrow.lineTo(11.5, 20.5);
    arrow.closeSubpath();
    p.setPen(QPen(QColor(20, 50, 110), 1));
    p.setBrush(QColor(60, 120, 210));
    p.drawPath(arrow);
}

void mirror(QPainter &p)
{
    p.translate(24, 0);
    p.scale(-1, 1);
}

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
    case Command::Zoom: {
        // A magnifying glass with a plus in its lens.
        p.setPen(QPen(QColor(120, 80, 40), 3.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(15, 15), QPointF(21, 21));
        p.setPen(QPen(kOutline, 2));
        p.setBrush(QColor(205, 228, 250));
        p.drawEllipse(QPointF(10, 10), 6.5, 6.5);
        p.setPen(QPen(QColor(40, 90, 170), 1.5));
        p.drawLine(QPointF(7, 10), QPointF(13, 10));
        p.drawLine(QPointF(10, 7), QPointF(10, 13));
        break;
    }
    case Command::AttributePanel: {
        // A form: three rows of a label and a field.
        p.setPen(QPen(kOutline, 1));
        p.setBrush(QColor(247, 239, 195));
        p.drawRoundedRect(QRectF(1.5, 3.5, 21, 17), 2, 2);
        for (int i = 0; i < 3; ++i) {
            const double y = 6 + 4.5 * i;
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(90, 90, 90));
            p.drawRect(QRectF(4, y + 0.5, 4, 2));
            p.setPen(QPen(QColor(110, 110, 110), 1));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(9.5, y - 0.5, 10, 3));
        }
        break;
    }
    case Command::ShowParameter: {
        // A photo with lines of text over its corner.
        p.setPen(QPen(kOutline, 1));
        p.setBrush(QColor(110, 165, 225));
        p.drawRect(QRectF(1.5, 3.5, 21, 17));
        QPainterPath hill;
        hill.moveTo(2, 20);
        hill.quadTo(10, 11, 22, 16);
        hill.lineTo(22, 20);
        hill.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(70, 150, 60));
        p.drawPath(hill);
        p.setPen(QPen(Qt::white, 1.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4.5, 7), QPointF(12, 7));
        p.drawLine(QPointF(4.5, 10), QPointF(15, 10));
        p.setPen(QPen(QColor(255, 220, 60), 1.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4.5, 13), QPointF(9.5, 13));
        break;
    }
    case Command::Rotate90:
        turnArrow(p);
        break;
    case Command::RotateMinus90:
        mirror(p);
        turnArrow(p);
        break;
    case Command::RotateTwoPoints: {
        // A level line, the tilted line through two points, and the angle between them.
        p.setPen(QPen(QColor(110, 110, 110), 1, Qt::DashLine));
        p.drawLine(QPointF(3, 18.5), QPointF(22, 18.5));
        p.setPen(QPen(QColor(40, 90, 170), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3 - 11, 18 - 11, 22, 22), 0, 24 * 16);
        p.setPen(QPen(kOutline, 1.5));
        p.drawLine(QPointF(3, 18), QPointF(21, 8));
        p.setPen(QPen(QColor(120, 20, 20), 1));
        p.setBrush(QColor(220, 40, 40));
        p.drawEllipse(QPointF(3.5, 18), 2.5, 2.5);
        p.drawEllipse(QPointF(20.5, 8.5), 2.5, 2.5);
        break;
    }
    case Command::Previous:
        stepArrow(p);
        break;
    case Command::Next:
        mirror(p);
        stepArrow(p);
        break;
    case Command::Levels: {
        // A histogram over the black, grey and white points.
        static const int heights[10] = {2, 4, 7, 11, 13, 12, 9, 10, 6, 3};
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(70, 70, 70));
        for (int i = 0; i < 10; ++i)
            p.drawRect(QRectF(2 + 2 * i, 16 - heights[i], 2, heights[i]));
        p.setPen(QPen(kOutline, 1));
        p.drawLine(QPointF(1.5, 16.5), QPointF(22.5, 16.5));
        const QColor points[3] = {QColor(0, 0, 0), QColor(128, 128, 128), QColor(255, 255, 255)};
        const double xs[3] = {3, 12, 21};
        for (int i = 0; i < 3; ++i) {
            QPainterPath t;
            t.moveTo(xs[i], 18);
            t.lineTo(xs[i] + 3, 23);
            t.lineTo(xs[i] - 3, 23);
            t.closeSubpath();
            p.setBrush(points[i]);
            p.drawPath(t);
        }
        break;
    }
    case Command::Brightness: {
        // A sun, half bright and half dark: brightness and contrast.
        p.setPen(QPen(QColor(230, 150, 20), 2, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 8; ++i) {
            const double a = i * M_PI / 4;
            p.drawLine(QPointF(12 + 7.5 * std::cos(a), 12 + 7.5 * std::sin(a)),
                       QPointF(12 + 10.5 * std::cos(a), 12 + 10.5 * std::sin(a)));
        }
        p.setPen(QPen(kOutline, 1));
        p.setBrush(QColor(250, 205, 40));
        p.drawEllipse(QPointF(12, 12), 5.5, 5.5);
        QPainterPath dark;
        dark.moveTo(12, 6.5);
        dark.arcTo(QRectF(6.5, 6.5, 11, 11), 90, -180);
        dark.closeSubpath();
        p.setBrush(QColor(95, 70, 30));
        p.drawPath(dark);
        break;
    }
    case Command::Sharpen: {
        // A disc blurred on its left and crisp on its right.
        QRadialGradient soft(QPointF(12, 12), 9);
        soft.setColorAt(0.0, QColor(30, 30, 30));
        soft.setColorAt(0.55, QColor(30, 30, 30));
        soft.setColorAt(1.0, QColor(30, 30, 30, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(soft);
        p.drawPie(QRectF(3, 3, 18, 18), 90 * 16, 180 * 16);
        p.setBrush(QColor(30, 30, 30));
        p.drawPie(QRectF(5, 5, 14, 14), -90 * 16, 180 * 16);
        p.setPen(QPen(Qt::white, 1));
        p.drawLine(QPointF(12, 3), QPointF(12, 21));
        break;
    }
    case Command::Colours: {
        // Red, green and blue discs over each other.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 40, 40, 200));
        p.drawEllipse(QPointF(8.5, 9), 6, 6);
        p.setBrush(QColor(40, 190, 60, 200));
        p.drawEllipse(QPointF(15.5, 9), 6, 6);
        p.setBrush(QColor(40, 90, 235, 200));
        p.drawEllipse(QPointF(12, 15.5), 6, 6);
        break;
    }
    case Command::Crop: {
        // The two corner marks of a crop.
        p.setPen(QPen(kOutline, 2.5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(6, 2), QPointF(6, 18), QPointF(22, 18)}));
        p.drawPolyline(QPolygonF({QPointF(2, 6), QPointF(18, 6), QPointF(18, 22)}));
        break;
    }
    case Command::RedEye: {
        // An eye with a red pupil.
        QPainterPath eye;
        eye.moveTo(1.5, 12);
        eye.quadTo(12, 1, 22.5, 12);
        eye.quadTo(12, 23, 1.5, 12);
        eye.closeSubpath();
        p.setPen(QPen(kOutline, 1.5));
        p.setBrush(Qt::white);
        p.drawPath(eye);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 30, 30));
        p.drawEllipse(QPointF(12, 12), 4.5, 4.5);
        p.setBrush(QColor(110, 0, 0));
        p.drawEllipse(QPointF(12, 12), 2, 2);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(13.5, 10.5), 1, 1);
        break;
    }
    case Command::TestRectangle: {
        // A dashed frame with its four corner handles.
        p.setPen(QPen(QColor(40, 40, 40), 1.5, Qt::DashLine));
        p.setBrush(QColor(255, 255, 255, 110));
        const QRectF frame(3.5, 5.5, 17, 13);
        p.drawRect(frame);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 90, 170));
        for (const QPointF &c : {frame.topLeft(), frame.topRight(), frame.bottomLeft(), frame.bottomRight()})
            p.drawRect(QRectF(c.x() - 1.5, c.y() - 1.5, 3, 3));
        break;
    }
    case Command::Noise: {
        // A grey square sprinkled with dark and light specks.
        p.setPen(QPen(kOutline, 1));
        p.setBrush(QColor(150, 150, 150));
        p.drawRect(QRectF(2.5, 2.5, 19, 19));
        p.setPen(Qt::NoPen);
        unsigned s = 12345u; // a fixed sequence: the picture is the same every time
        for (int i = 0; i < 70; ++i) {
            s = s * 1103515245u + 12345u;
            const int x = 4 + int((s >> 16) % 16);
            s = s * 1103515245u + 12345u;
            const int y = 4 + int((s >> 16) % 16);
            p.setBrush(i % 2 ? QColor(25, 25, 25) : QColor(245, 245, 245));
            p.drawRect(QRectF(x, y, 1.5, 1.5));
        }
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

QImage picture(Command which) { return draw(which); }

QImage disabledPicture(Command which) { return grey(draw(which)); }

QIcon command(Command which)
{
    const QImage img = draw(which);
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(img), QIcon::Normal);
    icon.addPixmap(QPixmap::fromImage(grey(img)), QIcon::Disabled);
    return icon;
}

} // namespace mv::icons
