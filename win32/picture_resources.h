#pragma once
// Which of the program's resources shows each picture of the window
// description (the resource script names them after their files).

#include "ui/window_description.h"

namespace win32ui {

struct PictureResources {
    const wchar_t* normal = nullptr;
    const wchar_t* hot = nullptr;  // a button's picture under the mouse, if it has one
    int designSide = 0;            // a button picture's side at 96 DPI
};

PictureResources pictureResources(ui::PictureId picture);

}  // namespace win32ui
