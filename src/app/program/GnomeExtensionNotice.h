#pragma once

#include <string>

#include "app/desktop/GnomeFocusExtension.h"

class QWidget;

namespace brevanto {

// What the user can do when GNOME Shell's extension that reports the
// focused window is not active, for the window; empty when there is nothing
// to do.
std::string GnomeExtensionNoticeText(GnomeExtensionState state);

// Shows the notice beside the window without holding up the program; it
// deletes itself when closed. Nothing for a state that needs nothing.
void ShowGnomeExtensionNotice(QWidget* window, GnomeExtensionState state);

}  // namespace brevanto
