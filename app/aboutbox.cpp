#include "app/aboutbox.h"

#include "platform/files.h"
#include "platform/jpeg.h"

#include <QFile>
#include <QLabel>
#include <QScreen>

namespace mv {

namespace {

class ClickLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void mousePressEvent(QMouseEvent *) override
    {
        if (auto *d = qobject_cast<QDialog *>(window()))
            d->accept();
    }
};

QLabel *textLabel(QWidget *parent, const QString &text, int pixelSize, const QPoint &at, const QColor &colour)
{
    auto *l = new ClickLabel(text, parent);
    QFont f = l->font();
    f.setPixelSize(pixelSize);
    l->setFont(f);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, colour);
    l->setPalette(p);
    l->adjustSize();
    l->move(at);
    return l;
}

} // namespace

TAboutBox::TAboutBox(const QString &programFolder, QWidget *parent) : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog)
{
    setObjectName(QStringLiteral("AboutBox"));
    setFixedSize(639, 468);
    if (const QScreen *s = screen())
        move(s->geometry().center() - rect().center());
    const QString path = programFolder + QStringLiteral("About.jpg");
    if (files::exists(path)) {
        picture_ = true;
        auto *pic = new ClickLabel(this);
        pic->setObjectName(QStringLiteral("Image1"));
        pic->setGeometry(rect());
        pic->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        QFile f(path);
        try {
            if (f.open(QIODevice::ReadOnly))
                pic->setPixmap(QPixmap::fromImage(jpeg::decode(f.readAll()).view().copy()));
        } catch (const jpeg::Error &) {
            // An undecodable picture leaves the window blank.
        }
    } else {
        textLabel(this, QStringLiteral("Marvisto"), 48, {200, 10}, Qt::red)->setObjectName(QStringLiteral("ProductName"));
        textLabel(this, QStringLiteral("The program for a storage and processing of digital photo."), 21, {65, 245}, Qt::black)
            ->setObjectName(QStringLiteral("Comments"));
        textLabel(this, QStringLiteral("1.3"), 21, {10, 445}, Qt::black)->setObjectName(QStringLiteral("Version"));
    }
}

} // namespace mv
