#include "control_factory.h"

namespace ui::factory {

ControlDescription button(std::string name, std::string caption, Rect rect, int tabOrder, Action action,
                          std::string url) {
    ControlDescription control;
    control.name = std::move(name);
    control.kind = ControlKind::Button;
    control.caption = std::move(caption);
    control.rect = rect;
    control.font = windowFont();
    control.tabOrder = tabOrder;
    control.action = action;
    control.url = std::move(url);
    return control;
}

ControlDescription autoSizeLabel(std::string name, std::string parent, std::string caption, int left, int top) {
    ControlDescription control;
    control.name = std::move(name);
    control.kind = ControlKind::Label;
    control.parent = std::move(parent);
    const Size extent = textExtentAt12Pixels(caption);
    control.caption = std::move(caption);
    control.rect = {left, top, extent.width, extent.height};
    control.font = windowFont();
    control.autoSize = true;
    return control;
}

ControlDescription picture(std::string name, std::string parent, Rect rect, PictureId picture) {
    ControlDescription control;
    control.name = std::move(name);
    control.kind = ControlKind::Picture;
    control.parent = std::move(parent);
    control.rect = rect;
    control.font = windowFont();
    control.picture = picture;
    return control;
}

void makeNavyHeading(ControlDescription& label) {
    label.font.bold = true;
    label.textColour = kNavy;
}

}  // namespace ui::factory
