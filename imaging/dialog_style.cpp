#include "imaging/dialog_style.h"

#include <QDialog>
#include <QPalette>

#include <algorithm>

namespace mv::imaging {

void StyleCorrectionDialog(QDialog *dialog, bool viewerBorderless)
{
    if (!dialog || !viewerBorderless)
        return;
    const QSize designed = dialog->testAttribute(Qt::WA_Resized) ? dialog->size() : dialog->sizeHint();
    // Changing the flags re-creates the native window; done before showing,
    // this costs nothing.
    dialog->setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    dialog->setWindowOpacity(kStyledOpacity);
    QPalette pal = dialog->palette();
    pal.setColor(QPalette::Window, Qt::white);
    dialog->setPalette(pal);
    dialog->setAutoFillBackground(true);
    dialog->resize(designed.width(), std::max(1, designed.height() - 10));
}

} // namespace mv::imaging
