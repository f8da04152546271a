#pragma once
// Shorthands the window descriptions use to list their controls.

#include "window_description.h"

namespace ui::factory {

ControlDescription button(std::string name, std::string caption, Rect rect, int tabOrder, Action action,
                          std::string url = {});

// A label sized to its text, in the window font unless changed afterwards.
ControlDescription autoSizeLabel(std::string name, std::string parent, std::string caption, int left, int top);

ControlDescription picture(std::string name, std::string parent, Rect rect, PictureId picture);

// Bold navy text, the headings of the information dialogs.
void makeNavyHeading(ControlDescription& label);

}  // namespace ui::factory
