#pragma once
// TTrack1Up, the one-handle slider with a tick for every integer of
// a short range (Min..Max, value Ave), used by the sharpen dialog. It inherits
// the values, setters and changed() of TTrack3. While the handle is dragged
// it follows the mouse without changing Ave; on release the value is taken
// from the position and set with setAve (which emits changed()).

#include "imaging/track3.h"

namespace mv::imaging {

class TTrack1Up : public TTrack3 {
    Q_OBJECT

public:
    explicit TTrack1Up(QWidget *parent = nullptr);

    int trackLeft() const { return 3; }                 // x0
    int trackRight() const { return width() - 6; }      // x1
    // (x1 - x0) / (Max - Min) in single precision; 0 when Max == Min (a
    // degenerate range the dialogs never create).
    float scale() const;
    // Where the handle is drawn: the clamped drag position while dragging,
    // otherwise trunc((Ave - Min) scale) + x0.
    int handlePosition() const;
    // (p - 3, 0) .. (p + 3, H - 1), inclusive.
    QRect handleRect() const;
    bool dragging() const { return dragging_; }
    // The value a release at x gives (before setAve clamps it): the
    // u = (x - x0) / scale rounded to two decimals, v = trunc(Min + u),
    // corrected to the largest value whose tick is drawn at or left of x (the
    // formula alone gives one less on most ticks, so a click on the handle
    // lowered the value); outside the track it is below Min or above Max.
    int valueAt(int x) const;

    QSize sizeHint() const override { return QSize(141, 20); }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    QImage render() override;

private:
    bool dragging_ = false;
    int dragPos_ = 0;
};

} // namespace mv::imaging
