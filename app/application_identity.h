#pragma once
// The application's own name, shown where the platform shows an application
// rather than a window: the task bar entry, the desktop file, the window class.

#include <QString>

inline constexpr char kDesktopFileName[] = "fortune-data-patch";

QString applicationTitle();

// Sets the application name, desktop file name and window icon. The display name is left
// unset on purpose: Qt would append it to every window caption.
void applyApplicationIdentity();
