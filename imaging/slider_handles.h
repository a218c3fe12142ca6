#pragma once
// The values of a three-handle slider (black point Min, middle Ave, white
// point Max on 0..255) and the rules its setters follow. The slider widget
// TTrack3 keeps its values by these rules, and so does anything that drives
// the levels without a widget (the batch tool's Auto Level).

namespace mv::imaging {

struct SliderHandles {
    int min = 0, ave = 127, max = 255;

    // Clamped to 0..255, then to at most Max; Ave re-centres to (Max + Min) / 2.
    void setMin(int v);
    // Clamped to 0..255, then to at least Min; Ave re-centres to (Max + Min) / 2.
    void setMax(int v);
    // Clamped to 0..255, then to Min..Max.
    void setAve(int v);
};

} // namespace mv::imaging
