#pragma once
// TFormSharpen, "Sharpen, Blur": the 3 x 3 blur of the committed image, or
// the sharpening built on it, previewed in the working image at every change
// of the check box or of the "Mask", "Threshold" and "Force" sliders.

#include "imaging/image_host.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace mv::imaging {

class TTrack1Up;

class TFormSharpen : public QDialog {
    Q_OBJECT
public:
    explicit TFormSharpen(ImageHost &host, QWidget *parent = nullptr);

    static constexpr int kDesignedWidth = 360;
    static constexpr int kDesignedHeight = 170;

    QCheckBox *CheckBox1;                       // "Sharpen"
    TTrack1Up *Track1Up1, *Track1Up2, *Track1Up3; // mask, threshold, force
    QLabel *LbMask, *LbThres, *LbForce;
    QPushButton *Button1, *Button2, *Button3; // Reset, OK, Cancel

    void FormActivate();
    void FormShow();
    void Track1Up1Cnange(); // every slider and the check box
    void Button1Click();    // Reset
    void Button2Click();    // OK
    void Button3Click();    // Cancel

    // Esc and the window's close box are the Cancel button.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showValues();

    ImageHost &host_;
};

} // namespace mv::imaging
