#pragma once
// The overlay options: which texts the viewer draws over the picture. The
// choice is the main window's overlay flags; closing the dialog in any way
// stores the ticked boxes and repaints the viewer.

#include <QDialog>

class QCheckBox;
class QPushButton;

namespace mv {

class TFormImage;

class TFormParam : public QDialog {
    Q_OBJECT
public:
    explicit TFormParam(TFormImage &viewer);

    QCheckBox *CBDate, *CBAlbum, *CBPhoto, *CBText, *CBTheme;
    QPushButton *Button1;

    void FormCreate();
    void FormClose();

    // Each way of closing passes through here once.
    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TFormImage &viewer_;
    bool closed_ = false;
};

} // namespace mv
