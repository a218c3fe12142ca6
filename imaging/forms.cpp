#include "imaging/forms.h"

#include "imaging/formbrightness.h"
#include "imaging/formcolors.h"
#include "imaging/formlevels.h"
#include "imaging/formnoise.h"
#include "imaging/formsharpen.h"

namespace mv::imaging {

QDialog *CreateBrightnessDialog(ImageHost &host, QWidget *parent) { return new TFormBrightness(host, parent); }
QDialog *CreateLevelsDialog(ImageHost &host, QWidget *parent) { return new TFormLevels(host, parent); }
QDialog *CreateColorsDialog(ImageHost &host, QWidget *parent) { return new TFormColors(host, parent); }
QDialog *CreateSharpenDialog(ImageHost &host, QWidget *parent) { return new TFormSharpen(host, parent); }
QDialog *CreateNoiseDialog(ImageHost &host, QWidget *parent) { return new TFormNoise(host, parent); }

} // namespace mv::imaging
