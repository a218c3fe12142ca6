#pragma once
// The 24 x 24 command pictures, drawn by the program, each with a grey
// version for the disabled state. They live here, below every window, so
// that the main window and the viewer draw their tool bars from one set.

#include <QIcon>
#include <QImage>

namespace mv::icons {

enum class Command {
    // Main window.
    Import,
    Edit,
    Delete,
    SlideShow,
    // Viewer.
    Zoom,
    AttributePanel,
    ShowParameter,
    Rotate90,
    RotateMinus90,
    RotateTwoPoints,
    Previous,
    Next,
    Levels,
    Brightness,
    Sharpen,
    Colours,
    Crop,
    RedEye,
    TestRectangle,
    Noise,
};
inline constexpr int kCommandCount = int(Command::Noise) + 1;

QIcon command(Command which);

// The two pictures the icon is made of, for looking at them directly.
QImage picture(Command which);
QImage disabledPicture(Command which);

} // namespace mv::icons
