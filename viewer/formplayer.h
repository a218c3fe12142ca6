#pragma once
// The video player: plays a catalogued AVI file from where it lies, with
// Play, Pause and Stop, in a window sized from the video, and closes itself
// when the video has played to its end.

#include <QDialog>
#include <QSize>

class QMediaPlayer;
class QPushButton;
class QTimer;
class QVideoWidget;
class QWidget;

namespace mv {

// The media environment the player relies on; call before the application
// object exists. Qt's GStreamer backend is chosen (it plays the Debian
// codecs without an audio device, where the ffmpeg backend of this Qt
// version crashes once an audio output is attached), and under X11 the
// video is drawn without OpenGL, which stalls on servers without it.
// Settings already present in the environment are kept.
void prepareMediaEnvironment();

class TFormPlayer : public QDialog {
    Q_OBJECT
public:
    explicit TFormPlayer(QWidget *parent = nullptr);
    ~TFormPlayer() override;

    QString FileName;

    QWidget *Panel1;
    QVideoWidget *Panel2;
    QPushButton *PlayButton, *PauseButton, *StopButton;
    QMediaPlayer *MP;
    QTimer *Timer1;

    void FormActivate();
    void Timer1Timer();

    // The video's display size once the device knows it (empty before).
    QSize videoSize() const { return videoSize_; }
    bool deviceFailed() const { return failed_; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void sizeFromVideo(QSize size);

    QSize videoSize_;
    bool activated_ = false;
    bool failed_ = false;
    bool ended_ = false;
};

} // namespace mv
