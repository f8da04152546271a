#pragma once
// The fixed text of the main window's information panel (Memo39): thanks and
// the support accounts, the two price lists and how to pay. 23 lines.

#include <string>
#include <vector>

namespace ui {

std::vector<std::string> informationPanelLines();

}  // namespace ui
