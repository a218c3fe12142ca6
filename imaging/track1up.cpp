#include "imaging/track1up.h"

#include "platform/bitmap.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>

namespace mv::imaging {

TTrack1Up::TTrack1Up(QWidget *parent) : TTrack3(parent) {}

float TTrack1Up::scale() const
{
    if (max_ == min_)
        return 0.0f;
    return float(double(trackRight() - trackLeft()) / double(max_ - min_));
}

int TTrack1Up::handlePosition() const
{
    if (dragging_)
        return std::clamp(dragPos_, trackLeft(), std::max(trackLeft(), trackRight()));
    return int(double(ave_ - min_) * double(scale())) + trackLeft();
}

QRect TTrack1Up::handleRect() const
{
    const int p = handlePosition();
    return QRect(QPoint(p - 3, 0), QPoint(p + 3, height() - 1));
}

int TTrack1Up::valueAt(int x) const
{
    const float s = scale();
    if (s == 0.0f)
        return min_;
    double u = double(x - trackLeft()) / double(s);
    u = double((long long)(u * 100.0 + 0.5)) / 100.0;
    long long v = (long long)(double(min_) + u);
    // The two-decimal formula alone gives one less than the value whose tick is
    // drawn at or just left of x whenever the tick's drawn position was
    // truncated by more than the two-decimal rounding catches, so that a
    // release on a tick, or a click on the handle without moving it, gave the
    // value below. Take the largest value whose tick lies at or left of x.
    auto drawn = [&](long long value) { return (long long)(double(value - min_) * double(s)) + trackLeft(); };
    while (v + 1 <= max_ && v + 1 > min_ && drawn(v + 1) <= x)
        ++v;
    while (v > min_ && v <= max_ && drawn(v) > x)
        --v;
    return int(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}

QImage TTrack1Up::render()
{
    const int W = width(), H = height();
    mv::Bitmap off(W, H);
    QImage img = off.view();
    if (img.isNull())
        return img;
    const QColor bg = palette().color(QPalette::Window);
    img.fill(bg);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    // The track.
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(bg);
    p.drawRect(QRect(QPoint(0, 5), QPoint(W - 1, 12)).adjusted(1, 1, -1, -1));
    // Ticks, one per integer of the range.
    p.setPen(QPen(Qt::black, 1));
    const float s = scale();
    for (int i = 0; i <= max_ - min_; ++i) {
        const int x = int(double(i) * double(s)) + trackLeft();
        p.drawLine(x, 12, x, 16); // to (x, 17), end point excluded
    }
    // The handle: a pointer whose tip points down at the tick line.
    const int hp = handlePosition();
    p.setBrush(bg);
    p.drawPolygon(QPolygon({QPoint(hp - 3, 0), QPoint(hp - 3, 14), QPoint(hp, 17), QPoint(hp + 3, 14),
                            QPoint(hp + 3, 0)}));
    p.end();
    return img.copy();
}

void TTrack1Up::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const QPoint pt = e->position().toPoint();
    if (handleRect().contains(pt)) {
        dragging_ = true;
        drag_ = 2; // the Ave handle
        dragPos_ = pt.x();
    }
}

void TTrack1Up::mouseMoveEvent(QMouseEvent *e)
{
    if (!dragging_)
        return;
    dragPos_ = e->position().toPoint().x();
    if (isVisible())
        repaint();
}

void TTrack1Up::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton || !dragging_)
        return;
    dragging_ = false;
    drag_ = 0;
    setAve(valueAt(e->position().toPoint().x()));
}

} // namespace mv::imaging
