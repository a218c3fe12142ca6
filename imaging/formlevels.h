#pragma once
// TFormLevels, "Levels": the histogram of the picture for the luminance or
// one channel, the input levels (black, middle, white) on Track31 and the
// output levels on Track32; every change maps the chosen channels of the
// committed image through the levels table into the working image.
// "Auto Level" takes the input black and white points from the picture.

#include "imaging/image_host.h"
#include "imaging/levels.h"

#include <QDialog>

class QFrame;
class QPushButton;
class QRadioButton;

namespace mv::imaging {

class TTrack3;

class TFormLevels : public QDialog {
    Q_OBJECT
public:
    explicit TFormLevels(ImageHost &host, QWidget *parent = nullptr);

    static constexpr int kDesignedWidth = 300;
    static constexpr int kDesignedHeight = 300;

    QFrame *Panel1;     // lowered panel around the histogram box
    QWidget *PaintBox1; // the histogram box, 256 x 137
    TTrack3 *Track31;   // input levels
    QWidget *Image1;    // grey ramp between the sliders
    TTrack3 *Track32;   // output levels
    QRadioButton *RbL, *RbR, *RbG, *RbB;
    QPushButton *Button1, *Button2, *Button3; // Auto Level, OK, Cancel

    // The four histograms of the working image as of activation, and the
    // picture of the chosen one.
    Histogram histL{}, histR{}, histG{}, histB{};
    Bitmap histogramPicture;
    int channel() const { return channel_; }
    LevelsParams params() const;

    void FormActivate();
    void PaintBox1Paint(class QPainter &painter);
    void Track31Cnange();
    void Track32Cnange();
    void RbClick(QRadioButton *sender);
    void Button1Click(); // Auto Level
    void Button2Click(); // OK
    void Button3Click(); // Cancel
    // Esc or L: close with Cancel, keeping the preview. Returns whether the
    // key was taken.
    bool FormKeyDown(int key);
    void FormClose();

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void preview();
    void drawHistogram();

    ImageHost &host_;
    int channel_ = AllChannels;
};

} // namespace mv::imaging
