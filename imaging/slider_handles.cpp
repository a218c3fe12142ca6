#include "imaging/slider_handles.h"

#include <algorithm>

namespace mv::imaging {

void SliderHandles::setMin(int v)
{
    min = std::min(std::clamp(v, 0, 255), max);
    ave = (max + min) / 2;
}

void SliderHandles::setMax(int v)
{
    max = std::max(std::clamp(v, 0, 255), min);
    ave = (max + min) / 2;
}

void SliderHandles::setAve(int v) { ave = std::clamp(std::clamp(v, 0, 255), min, max); }

} // namespace mv::imaging
