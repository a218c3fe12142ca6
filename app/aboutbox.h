#pragma once

#include <QDialog>

namespace mv {

// The about box: About.jpg from the program folder when present, otherwise
// the name, a line about the program and its version. Any click or key closes it.
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(const QString &programFolder, QWidget *parent = nullptr);
    bool showsPicture() const { return picture_; }

protected:
    void mousePressEvent(QMouseEvent *) override { accept(); }
    void keyPressEvent(QKeyEvent *) override { accept(); }

private:
    bool picture_ = false;
};

} // namespace mv
