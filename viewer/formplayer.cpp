#include "viewer/formplayer.h"

#include "platform/ui.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QMediaMetaData>
#include <QMediaPlayer>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QVideoFrame>
#include <QVideoSink>
#include <QVideoWidget>

namespace mv {

namespace {
constexpr int kPanel1Height = 33;
}

void prepareMediaEnvironment()
{
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    if (qEnvironmentVariableIsEmpty("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
}

TFormPlayer::TFormPlayer(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint)
{
    // The backend is chosen when the first media object is made.
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND"))
        qputenv("QT_MEDIA_BACKEND", "gstreamer");
    setWindowTitle(QString());
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);
    resize(688, 446);

    Panel1 = new QWidget;
    Panel1->setFixedHeight(kPanel1Height);
    Panel1->setAutoFillBackground(true);
    Panel1->setPalette(QApplication::palette());
    auto *buttons = new QHBoxLayout(Panel1);
    buttons->setContentsMargins(2, 2, 2, 2);
    PlayButton = new QPushButton(QStringLiteral("Play"));
    PauseButton = new QPushButton(QStringLiteral("Pause"));
    StopButton = new QPushButton(QStringLiteral("Stop"));
    for (QPushButton *b : {PlayButton, PauseButton, StopButton}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);

    Panel2 = new QVideoWidget;
    Panel2->setAutoFillBackground(true);
    QPalette black = Panel2->palette();
    black.setColor(QPalette::Window, Qt::black);
    Panel2->setPalette(black);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(5, 0, 5, 5);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(Panel2, 1);
    // The window is sized from the video, however small; the buttons do not
    // hold it wider.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    Panel1->setMinimumWidth(0);
    setMinimumSize(0, 0);

    // No audio output is attached: the picture is what is catalogued, and a
    // machine without a sound device must still play the video.
    MP = new QMediaPlayer(this);
    connect(PlayButton, &QPushButton::clicked, MP, &QMediaPlayer::play);
    connect(PauseButton, &QPushButton::clicked, MP, &QMediaPlayer::pause);
    connect(StopButton, &QPushButton::clicked, MP, &QMediaPlayer::stop);
    connect(MP, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error error, const QString &text) {
        if (error == QMediaPlayer::NoError || failed_)
            return;
        failed_ = true;
        ui::error(text.isEmpty() ? MP->errorString() : text);
    });
    connect(MP, &QMediaPlayer::mediaStatusChanged, this, [this](QMediaPlayer::MediaStatus status) {
        if (status == QMediaPlayer::EndOfMedia)
            ended_ = true;
        if (status == QMediaPlayer::InvalidMedia && !failed_) {
            failed_ = true;
            ui::error(MP->errorString().isEmpty() ? QStringLiteral("Cannot open ") + FileName : MP->errorString());
        }
        if (status == QMediaPlayer::LoadedMedia || status == QMediaPlayer::BufferedMedia)
            sizeFromVideo(MP->metaData().value(QMediaMetaData::Resolution).toSize());
    });
    connect(Panel2->videoSink(), &QVideoSink::videoFrameChanged, this,
            [this](const QVideoFrame &frame) { sizeFromVideo(frame.size()); });

    Timer1 = new QTimer(this);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, ui::guard([this] { Timer1Timer(); }));
    Timer1->start();
}

TFormPlayer::~TFormPlayer()
{
    Timer1->stop();
    MP->stop();
}

void TFormPlayer::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (parentWidget()) {
        const QRect p = parentWidget()->geometry();
        move(p.center() - rect().center());
    }
    if (!activated_) {
        activated_ = true;
        ui::guarded([this] { FormActivate(); });
    }
}

void TFormPlayer::FormActivate()
{
    MP->setVideoOutput(Panel2);
    if (!MP->source().isEmpty()) {
        MP->stop();
        MP->setSource(QUrl());
    }
    failed_ = ended_ = false;
    videoSize_ = QSize();
    MP->setSource(QUrl::fromLocalFile(FileName));
    MP->play();
}

void TFormPlayer::sizeFromVideo(QSize size)
{
    if (!size.isValid() || size.isEmpty() || size == videoSize_)
        return;
    videoSize_ = size;
    resize(size.width() + 10, size.height() + kPanel1Height + 10);
}

void TFormPlayer::Timer1Timer()
{
    // A device that never opened has no length to reach: the window stays
    // until the user closes it.
    if (failed_)
        return;
    const qint64 length = MP->duration();
    if (ended_ || (length > 0 && MP->position() >= length))
        close();
}

} // namespace mv
