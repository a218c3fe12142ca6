#pragma once
// The 24 x 24 command pictures, drawn by the program, each with a grey
// version for the disabled state.

#include <QIcon>

namespace mv::icons {

enum class Command { Import, Edit, Delete, SlideShow };
QIcon command(Command which);

} // namespace mv::icons
