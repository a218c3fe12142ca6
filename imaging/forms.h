#pragma once
// The correction dialogs of the viewer, created through these factories (the
// viewer registers them, shows the dialog modally, styles it while it is
// borderless and destroys it afterwards; see dialog_style.h).

#include "imaging/image_host.h"

class QDialog;
class QWidget;

namespace mv::imaging {

QDialog *CreateBrightnessDialog(ImageHost &host, QWidget *parent);
QDialog *CreateLevelsDialog(ImageHost &host, QWidget *parent);
QDialog *CreateColorsDialog(ImageHost &host, QWidget *parent);
QDialog *CreateSharpenDialog(ImageHost &host, QWidget *parent);
QDialog *CreateNoiseDialog(ImageHost &host, QWidget *parent);

} // namespace mv::imaging
