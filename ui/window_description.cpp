#include "window_description.h"

#include <stdexcept>

namespace ui {

const ControlDescription* WindowDescription::find(std::string_view controlName) const {
    for (const ControlDescription& control : controls)
        if (control.name == controlName) return &control;
    return nullptr;
}

const ControlDescription& WindowDescription::control(std::string_view controlName) const {
    if (const ControlDescription* found = find(controlName)) return *found;
    throw std::out_of_range(className + " has no control " + std::string(controlName));
}

std::string_view applicationTitle() {
    return "算命软件升级补丁2022";
}

Font windowFont() {
    return {"宋体", 12, false, kGb2312Charset};
}

Size textExtentAt12Pixels(std::string_view utf8Text) {
    int width = 0;
    for (const char byte : utf8Text) {
        const auto c = static_cast<unsigned char>(byte);
        if (c < 0x80) width += 6;            // ASCII: half width
        else if ((c & 0xC0) != 0x80) width += 12;  // the lead byte of a wider character
    }
    return {width, 12};
}

}  // namespace ui
