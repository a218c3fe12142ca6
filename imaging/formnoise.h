#pragma once
// TFormNoise, "Reduction of the noise": the edge-preserving noise filter,
// previewed on the viewer's test rectangle or on the whole picture. The edge
// map and the thresholds are computed once per opening, on the first
// "Preview" or "OK". Holding a mouse button on the dialog shows the
// unfiltered picture in the viewer for comparison.

#include "imaging/image_host.h"
#include "imaging/noise.h"

#include <QDialog>

class QProgressBar;
class QPushButton;
class QSlider;

namespace mv::imaging {

class TFormNoise : public QDialog {
    Q_OBJECT
public:
    explicit TFormNoise(ImageHost &host, QWidget *parent = nullptr);

    QSlider *TrackBar1; // Levels: which threshold, 0..10
    QSlider *TrackBar2; // Force: which weight table, 1..5
    QPushButton *Button1, *Button2, *btnOK, *Button3; // Preview, Reset, OK, Cancel
    QProgressBar *ProgressBar1;

    bool parametersComputed() const { return computed_; }
    const NoiseThresholds &thresholds() const { return thresholds_; }
    const EdgeMap &edgeMap() const { return edgeMap_; }

    void FormActivate();
    // "Preview" (ok false) and "OK" (ok true).
    void Button1Click(bool ok);
    void Button2Click(); // Reset
    void Button3Click(); // Cancel
    void FormMouseDown();
    void FormMouseUp();
    void FormClose();

    // Esc and the window's close box are the Cancel button.
    void reject() override;
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void progress(int position);

    ImageHost &host_;
    EdgeMap edgeMap_;
    EdgeHistogram histogram_{};
    NoiseThresholds thresholds_{};
    bool computed_ = false;
};

} // namespace mv::imaging
