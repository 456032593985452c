#pragma once

#include "core/engine/ButtonAssignment.h"

namespace brevanto {

class Clipboard;
class Shell;

// Starts the record's program, document or address (targetName) with its
// parameters in startFrom. Without a shell the launch is logged and dropped.
void Launch(const ButtonAssignment& record, Shell* shell);

// Puts the record's expanded pasteText on the clipboard and types Ctrl+V. A
// clipboard that cannot be set still gets the Ctrl+V.
void Paste(ButtonAssignment& record, Clipboard* clipboard);

}  // namespace brevanto
