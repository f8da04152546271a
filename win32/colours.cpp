#include "colours.h"

#include <map>

namespace win32ui {

COLORREF toColorRef(const ui::Colour& colour) {
    switch (colour.system) {
        case ui::SystemColour::None: return RGB(colour.red, colour.green, colour.blue);
        case ui::SystemColour::ButtonFace: return GetSysColor(COLOR_BTNFACE);
        case ui::SystemColour::ButtonText: return GetSysColor(COLOR_BTNTEXT);
        case ui::SystemColour::ButtonHighlight: return GetSysColor(COLOR_BTNHIGHLIGHT);
        case ui::SystemColour::Window: return GetSysColor(COLOR_WINDOW);
        case ui::SystemColour::WindowText: return GetSysColor(COLOR_WINDOWTEXT);
        case ui::SystemColour::GradientActiveCaption: return GetSysColor(COLOR_GRADIENTACTIVECAPTION);
        case ui::SystemColour::Highlight: return GetSysColor(COLOR_HIGHLIGHT);
    }
    return GetSysColor(COLOR_WINDOWTEXT);
}

HBRUSH brushFor(COLORREF colour) {
    static std::map<COLORREF, HBRUSH> brushes;
    auto [at, inserted] = brushes.try_emplace(colour, nullptr);
    if (inserted) at->second = CreateSolidBrush(colour);
    return at->second;
}

}  // namespace win32ui
