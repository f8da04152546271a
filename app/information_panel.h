#pragma once
// The fixed text of the main window's information panel: thanks and support
// accounts, the two price lists and how to pay. 23 lines.

#include <QStringList>

QStringList informationPanelLines();
