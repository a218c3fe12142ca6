#pragma once
// TFormColors, "Colors correction": the picture in the middle and six reduced
// copies around it, each shifted toward one colour; a click on a copy shifts
// the working image itself that way, so clicks add up until OK or a revert.
// The dialog covers the viewer and shows its previews itself.

#include "imaging/colours.h"
#include "imaging/image_host.h"

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;
class QSlider;

namespace mv::imaging {

class TSpinEdit;

// A box that paints one Bitmap and reports a click.
class VariationBox : public QWidget {
    Q_OBJECT
public:
    VariationBox(const Bitmap &picture, QWidget *parent);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    const Bitmap &picture_;
};

class TFormColors : public QDialog {
    Q_OBJECT
public:
    explicit TFormColors(ImageHost &host, QWidget *parent = nullptr);

    static constexpr int kTopHeight = 31, kBottomHeight = 29;

    QWidget *PanelTop, *PanelBottom;
    QSlider *TrackBar1;
    TSpinEdit *Edit1;
    QLabel *Label1;
    VariationBox *PbCur, *PbR, *PbY, *PbG, *PbC, *PbB, *PbM;
    QFrame *Shape1;
    QPushButton *Button1, *Button2, *Button3; // OK, Reset, Cancel

    // The box of a direction (ColourDirection) and its preview.
    VariationBox *box(int direction) const { return boxes_[direction]; }
    const Bitmap &preview(int direction) const { return previews_[direction]; }
    const Bitmap &currentPreview() const { return current_; }
    const VariationLayout &layout() const { return layout_; }

    void FormActivate();
    void RefreshVariations();
    void PbClick(int direction);
    void TrackBar1Change();
    void Edit1Change();
    void Button1Click(); // OK
    void Button2Click(); // Reset
    void Button3Click(); // Cancel

    // Esc and the window's close box are the Cancel button.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void arrange();

    ImageHost &host_;
    VariationLayout layout_;
    Bitmap previews_[6];
    Bitmap current_; // the working image at preview size
    VariationBox *boxes_[6];
};

} // namespace mv::imaging
