#include "viewer/formparam.h"

#include "viewer/formimage.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QPushButton>

namespace mv {

TFormParam::TFormParam(TFormImage &viewer) : QDialog(&viewer), viewer_(viewer)
{
    setWindowTitle(QStringLiteral("Parameter"));
    resize(352, 155);
    auto box = [this](const char *caption, int left, int top) {
        auto *b = new QCheckBox(QString::fromLatin1(caption), this);
        b->move(left, top);
        b->adjustSize();
        b->installEventFilter(this);
        return b;
    };
    CBDate = box("Date", 16, 16);
    CBAlbum = box("Album", 96, 16);
    CBPhoto = box("Photo parameter", 168, 16);
    CBText = box("Text", 16, 48);
    CBTheme = box("Theme", 96, 48);
    Button1 = new QPushButton(QStringLiteral("Close"), this);
    Button1->move(120, 88);
    Button1->installEventFilter(this);
    Button1->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
    installEventFilter(this);
    FormCreate();
}

void TFormParam::FormCreate()
{
    const quint8 flags = viewer_.overlayFlags();
    CBDate->setChecked(flags & 1);
    CBText->setChecked(flags & 2);
    CBAlbum->setChecked(flags & 4);
    CBTheme->setChecked(flags & 8);
    CBPhoto->setChecked(flags & 16);
}

void TFormParam::FormClose()
{
    quint8 flags = 0;
    if (CBDate->isChecked())
        flags += 1;
    if (CBText->isChecked())
        flags += 2;
    if (CBAlbum->isChecked())
        flags += 4;
    if (CBTheme->isChecked())
        flags += 8;
    if (CBPhoto->isChecked())
        flags += 16;
    viewer_.setOverlayFlags(flags);
    viewer_.RepaintPicture();
}

void TFormParam::done(int result)
{
    if (!closed_) {
        closed_ = true;
        FormClose();
    }
    QDialog::done(result);
}

bool TFormParam::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Escape || key == Qt::Key_P) {
            reject();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace mv
