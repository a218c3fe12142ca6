#pragma once
// How the viewer shows its correction dialogs: while the viewer is in its
// borderless full-screen mode a dialog is drawn without a frame, 170/255
// opaque over the picture, on white, and 10 pixels less high than designed
// (so it covers less of the photo); while the viewer is framed the dialog
// keeps its ordinary frame. One function so every dialog looks the same.

class QDialog;

namespace mv::imaging {

// Call before the dialog is shown. The designed size is the size the dialog
// was given (or its size hint when it was never resized).
void StyleCorrectionDialog(QDialog *dialog, bool viewerBorderless);

// The opacity of a styled dialog.
constexpr double kStyledOpacity = 170.0 / 255.0;

} // namespace mv::imaging
