#pragma once
// TTrack3, the three-handle level slider (black point Min, middle
// point Ave, white point Max on 0..255) of the levels dialog. It draws itself
// (off-screen first), handles the mouse itself and reports every setter call
// through the signal changed() (OnCnange; its argument is the
// control). Qt's implicit mouse grab keeps a held handle following the mouse
// outside the control; neither control shows focus.

#include <QRect>
#include <QWidget>

class QPainter;

namespace mv::imaging {

class TTrack3 : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int min READ min WRITE setMin)
    Q_PROPERTY(int max READ max WRITE setMax)
    Q_PROPERTY(int ave READ ave WRITE setAve)

public:
    explicit TTrack3(QWidget *parent = nullptr);

    int min() const { return min_; }
    int max() const { return max_; }
    int ave() const { return ave_; }
    // 0 none, 1 the Min handle, 2 Ave, 3 Max.
    int dragState() const { return drag_; }

    // Each setter clamps to 0..255 and keeps 0 <= Min <= Ave <= Max <= 255;
    // SetMin and SetMax re-centre Ave to (Max + Min) / 2. Every call repaints
    // and then emits changed(), even when the value does not change.
    void setMin(int v);
    void setMax(int v);
    void setAve(int v);

    // The hit rectangle of a handle (kind 0 Min, 1 Ave, 2 Max), inclusive
    // corners (x - 4, 0) .. (x + 4, H - 1) around its drawn centre, as the last
    // paint computed it (recomputed from the current values when needed).
    QRect hitRect(int kind) const;
    // The drawn centre of a value: v * (W - 10) / 255 + 4.
    int handleX(int value) const;

    // One handle with its apex at (x, y): the triangle (x, y), (x - 4, y + 8),
    // (x + 4, y + 8); kind 0 filled black, 1 and 2 outlined, 1 also with a
    // vertical line from (x, y) to (x, y + 8).
    static void drawFigure(int kind, QPainter &painter, int x, int y);

    QSize sizeHint() const override { return QSize(268, 11); }

signals:
    void changed(mv::imaging::TTrack3 *sender);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

    // Repaints at once (when visible), then emits changed().
    void notify();
    // The off-screen picture of the control, the size of the control.
    virtual QImage render();

    int min_ = 0, max_ = 255, ave_ = 127;
    int drag_ = 0;
};

} // namespace mv::imaging
