#include "fonts.h"

#include "dpi.h"
#include "wide_text.h"

#include <map>
#include <tuple>

namespace win32ui {

HFONT fontFor(const ui::Font& font, UINT dpi) {
    using Key = std::tuple<std::string, int, bool, int, UINT>;
    static std::map<Key, HFONT> fonts;
    auto [at, inserted] = fonts.try_emplace(Key{font.face, font.pixelHeight, font.bold, font.charset, dpi}, nullptr);
    if (inserted) {
        // A negative height asks for the character height, without internal leading.
        at->second = CreateFontW(-scaled(font.pixelHeight, dpi), 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE,
                                 FALSE, FALSE, static_cast<BYTE>(font.charset), OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                 toWide(font.face).c_str());
    }
    return at->second;
}

}  // namespace win32ui
