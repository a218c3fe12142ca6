#pragma once
// TFormBrightness, "Brightness, Contrast, Saturation": three sliders, each
// previewing one adjustment of the committed image in the working image.
// Moving to another slider first commits what the previous one did, so the
// adjustments build on each other; a spin edit beside each slider gives the
// exact value.

#include "imaging/image_host.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QSlider;

namespace mv::imaging {

class TSpinEdit;

class TFormBrightness : public QDialog {
    Q_OBJECT
public:
    explicit TFormBrightness(ImageHost &host, QWidget *parent = nullptr);

    static constexpr int kDesignedWidth = 430;
    static constexpr int kDesignedHeight = 170;

    QSlider *TrackBar1, *TrackBar2, *TrackBar3; // brightness, contrast, saturation
    TSpinEdit *Edit1, *Edit2, *Edit3;
    QPushButton *Button1, *Button2, *Button3; // Reset, OK, Cancel

    // Whether each adjustment was applied since activation or since the
    // last commit another slider caused.
    bool changed[3] = {false, false, false};

    void FormActivate();
    void TrackBar1Change() { trackChange(0); }
    void TrackBar2Change() { trackChange(1); }
    void TrackBar3Change() { trackChange(2); }
    void Edit1Change() { editChange(0); }
    void Edit2Change() { editChange(1); }
    void Edit3Change() { editChange(2); }
    void EnterBreitness() { enter(0); }
    void EnterContrast() { enter(1); }
    void EnterSaturation() { enter(2); }
    void Button1Click(); // Reset
    void Button2Click(); // OK
    void Button3Click(); // Cancel

    // Esc and the window's close box are the Cancel button.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void apply(int n, int value);
    void trackChange(int n);
    void editChange(int n);
    void enter(int n);

    ImageHost &host_;
    QSlider *tracks_[3];
    TSpinEdit *edits_[3];
};

} // namespace mv::imaging
