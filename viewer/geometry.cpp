#include "viewer/geometry.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace mv::viewer {

int zoomFactor(int level)
{
    static const int factors[] = {1, 1, 3, 5};
    return factors[std::clamp(level, 0, 3)];
}

Arrangement arrange(int level, int W, int H, int VW, int VH, int anchorX, int anchorY)
{
    Arrangement a;
    W = std::max(W, 1);
    H = std::max(H, 1);
    VW = std::max(VW, 1);
    VH = std::max(VH, 1);
    const QString prefix = QString::number(W) + QLatin1Char('x') + QString::number(H) + QLatin1Char(' ');
    int DW, DH;
    if (level > 0) {
        const int k = zoomFactor(level);
        DW = k * W;
        DH = k * H;
        a.status = prefix + QString::number(k * 100) + QLatin1Char('%');
    } else {
        if (W >= VW) {
            DW = VW - 8;
            DH = H * DW / W;
            if (DH > VH) {
                DH = VH - 8;
                DW = W * DH / H;
            }
        } else {
            DH = VH - 5;
            DW = W * DH / H;
            if (DW > VW) {
                DW = VW - 8;
                DH = H * DW / W;
            }
        }
        // A viewport smaller than its margins, or a picture thousands of
        // times longer than high, would give an empty surface.
        DW = std::max(DW, 1);
        DH = std::max(DH, 1);
        a.status = prefix + QString::number(qint64(DW) * 100 / W) + QLatin1Char('%');
    }
    a.width = DW;
    a.height = DH;
    if (level == 0) {
        a.left = (VW - DW) / 2;
        a.top = (VH - DH) / 2;
    } else {
        const float kx = float(anchorX) / float(W);
        const float ky = float(anchorY) / float(H);
        const float cx = float(VW) * float(VW) / float(DW) * 0.5f;
        const float cy = float(VH) * float(VH) / float(DH) * 0.5f;
        a.scrollX = int(double(DW - VW) * kx) - int(cx);
        a.scrollY = int(double(DH - VH) * ky) - int(cy);
    }
    return a;
}

float displayScale(int W, int H, int surfaceW, int surfaceH)
{
    if (H > W)
        return float(H) / float(std::max(surfaceH, 1));
    return float(W) / float(std::max(surfaceW, 1));
}

void FitCropFrame(Rect4 &r, int surfaceW, int surfaceH)
{
    if (r.x2 >= r.x1) {
        if (r.y1 > r.y2)
            std::swap(r.y1, r.y2);
    } else {
        std::swap(r.x1, r.x2);
        if (r.y2 < r.y1)
            std::swap(r.y1, r.y2);
    }
    if (r.x1 < 10)
        r.x1 = 0;
    if (r.x2 + 10 > surfaceW - 1)
        r.x2 = surfaceW - 1;
    if (r.y1 < 10)
        r.y1 = 0;
    if (r.y2 + 10 > surfaceH - 1)
        r.y2 = surfaceH - 1;
    const int w = r.x2 - r.x1;
    const int h = r.y2 - r.y1;
    if (h <= w)
        r.y2 = r.y1 + int(w * 0.6666);
    else
        r.x2 = r.x1 + int(h * 0.6666);
}

namespace {

void moveAxis(int &a, int &b, int d, int maxv)
{
    if (d < 0) {
        if (a + d < 0) {
            b = b - a;
            a = 0;
        } else {
            a += d;
            b += d;
        }
    } else {
        if (b + d > maxv) {
            a = a + (maxv - b);
            b = maxv;
        } else {
            a += d;
            b += d;
        }
    }
}

void resizeAxis(int &a, int &b, int d, int maxv)
{
    const int h = d / 2;
    if (d < 0) {
        if (a - h >= 0)
            a = a - h;
        b = b + h;
    } else {
        b = std::min(b + h, maxv);
        a = std::max(a - h, 0);
    }
}

} // namespace

void MoveSelection(Rect4 &r, int dx, int dy, int surfaceW, int surfaceH)
{
    moveAxis(r.x1, r.x2, dx, surfaceW - 1);
    moveAxis(r.y1, r.y2, dy, surfaceH - 1);
}

void ResizeSelection(Rect4 &r, int dx, int dy, int surfaceW, int surfaceH)
{
    resizeAxis(r.x1, r.x2, dx, surfaceW - 1);
    resizeAxis(r.y1, r.y2, dy, surfaceH - 1);
}

QRect cropRectangle(const Rect4 &f, float s, int W, int H)
{
    int px = int(double(f.x1) * s);
    int py = int(double(f.y1) * s);
    int pw = int(double(f.x2 - f.x1 + 1) * s + 0.5);
    int ph = int(double(f.y2 - f.y1 + 1) * s + 0.5);
    px = std::clamp(px, 0, W - 1);
    py = std::clamp(py, 0, H - 1);
    if (px + pw > W)
        pw = W - px;
    if (py + ph > H)
        ph = H - py;
    // A one-pixel frame at 500 % would round to nothing.
    return QRect(px, py, std::max(pw, 1), std::max(ph, 1));
}

float twoPointAngle(Rect4 p)
{
    if (std::abs(p.y2 - p.y1) > std::abs(p.x2 - p.x1)) {
        const int ox1 = p.x1, ox2 = p.x2;
        p.x1 = -p.y1;
        p.y1 = ox1;
        p.x2 = -p.y2;
        p.y2 = ox2;
    }
    if (p.x1 > p.x2) {
        std::swap(p.x1, p.x2);
        std::swap(p.y1, p.y2);
    }
    return float(std::atan2(double(p.y2 - p.y1), double(p.x2 - p.x1)));
}

QRect pictureSelection(const Rect4 &r, float s, int W, int H)
{
    int x1 = int(double(r.x1) * s), y1 = int(double(r.y1) * s);
    int x2 = int(double(r.x2) * s), y2 = int(double(r.y2) * s);
    if (x1 > x2)
        std::swap(x1, x2);
    if (y1 > y2)
        std::swap(y1, y2);
    x1 = std::clamp(x1, 0, W - 1);
    x2 = std::clamp(x2, 0, W - 1);
    y1 = std::clamp(y1, 0, H - 1);
    y2 = std::clamp(y2, 0, H - 1);
    return QRect(QPoint(x1, y1), QPoint(x2, y2));
}

} // namespace mv::viewer
