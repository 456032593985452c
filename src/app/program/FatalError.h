#pragma once

#include <string>

namespace brevanto {

// A failure that ends the program: written to the log when it is open, to
// standard error always, and shown in a message box titled "Error" when there
// is a window system (a QApplication exists).
void ReportFatalError(const std::string& text, bool withWindow);

}  // namespace brevanto
