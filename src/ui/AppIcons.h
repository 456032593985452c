#pragma once

#include <QIcon>

namespace brevanto {

// The program's own icons, built into the program so the window and the tray
// show them wherever it runs from; the installed copies in the hicolor theme
// serve the desktop entry and the menus.
QIcon ApplicationIcon();
// The tray icon: the controller while processing runs, the grey controller
// with a pause sign while the user has paused it.
QIcon TrayStateIcon(bool paused);

}  // namespace brevanto
