#include "imaging/track3.h"

#include "imaging/slider_handles.h"

#include "platform/bitmap.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <algorithm>

namespace mv::imaging {

TTrack3::TTrack3(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void TTrack3::setMin(int v)
{
    SliderHandles h{min_, ave_, max_};
    h.setMin(v);
    min_ = h.min;
    ave_ = h.ave;
    notify();
}

void TTrack3::setMax(int v)
{
    SliderHandles h{min_, ave_, max_};
    h.setMax(v);
    max_ = h.max;
    ave_ = h.ave;
    notify();
}

void TTrack3::setAve(int v)
{
    SliderHandles h{min_, ave_, max_};
    h.setAve(v);
    ave_ = h.ave;
    notify();
}

void TTrack3::notify()
{
    if (isVisible())
        repaint();
    emit changed(this);
}

int TTrack3::handleX(int value) const { return value * (width() - 10) / 255 + 4; }

QRect TTrack3::hitRect(int kind) const
{
    const int x = handleX(kind == 0 ? min_ : kind == 1 ? ave_ : max_);
    return QRect(QPoint(x - 4, 0), QPoint(x + 4, height() - 1));
}

void TTrack3::drawFigure(int kind, QPainter &p, int x, int y)
{
    const QPolygon tri({QPoint(x, y), QPoint(x - 4, y + 8), QPoint(x + 4, y + 8)});
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(kind == 0 ? QBrush(Qt::black) : QBrush(Qt::NoBrush));
    p.drawPolygon(tri);
    if (kind == 1)
        p.drawLine(x, y, x, y + 8);
}

QImage TTrack3::render()
{
    mv::Bitmap off(width(), height());
    QImage img = off.view();
    if (img.isNull())
        return img;
    img.fill(palette().color(QPalette::Window));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    drawFigure(0, p, handleX(min_), 0);
    drawFigure(1, p, handleX(ave_), 0);
    drawFigure(2, p, handleX(max_), 0);
    p.end();
    return img.copy(); // detach from the off-screen bitmap, which is released here
}

void TTrack3::paintEvent(QPaintEvent *)
{
    const QImage img = render();
    QPainter p(this);
    if (!img.isNull())
        p.drawImage(0, 0, img);
}

void TTrack3::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return;
    const QPoint pt = e->position().toPoint();
    for (int kind = 0; kind < 3; ++kind)
        if (hitRect(kind).contains(pt)) {
            drag_ = kind + 1;
            return;
        }
}

void TTrack3::mouseMoveEvent(QMouseEvent *e)
{
    if (drag_ == 0 || width() <= 0)
        return;
    const int v = int((long long)e->position().toPoint().x() * 255 / width());
    if (drag_ == 1)
        setMin(v);
    else if (drag_ == 2)
        setAve(v);
    else
        setMax(v);
}

void TTrack3::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        drag_ = 0;
}

} // namespace mv::imaging
