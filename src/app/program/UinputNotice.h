#pragma once

#include <string>

class QWidget;

namespace brevanto {

// Output fell back from uinput to XTest because the node is there but this
// user may not write it: the one case the installed udev rule mends. (A
// missing node means no uinput module, which the log already names.)
bool UinputNodeNotWritable(const std::string& path);
// Whether to tell the user: the node cannot be written, or, in a Wayland
// session, where XTest reaches no Wayland window, it is missing too (the
// installed module-load entry mends that).
bool UinputNoticeWanted(const std::string& path, bool waylandSession);

// What the user can do about it, for the log and for the window.
extern const char* const kUinputNoticeLog;
std::string UinputNoticeText();

// Shows the notice beside the window without holding up the program; it
// deletes itself when closed.
void ShowUinputNotice(QWidget* window);

}  // namespace brevanto
