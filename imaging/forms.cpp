#include "imaging/forms.h"

#include "imaging/formbrightness.h"
#include "imaging/formlevels.h"
#include "imaging/formsharpen.h"

namespace mv::imaging {

QDialog *CreateBrightnessDialog(ImageHost &host, QWidget *parent) { return new TFormBrightness(host, parent); }
QDialog *CreateLevelsDialog(ImageHost &host, QWidget *parent) { return new TFormLevels(host, parent); }
QDialog *CreateSharpenDialog(ImageHost &host, QWidget *parent) { return new TFormSharpen(host, parent); }

} // namespace mv::imaging
