#pragma once
// Identifiers of the program's resources, shared by the resource script and the code.

#define IDI_APPLICATION_ICON 1
