#include "core/engine/LaunchAndPaste.h"

#include <string>

#include "core/engine/ExpandText.h"
#include "core/engine/KeyOutput.h"
#include "core/log/Logger.h"
#include "core/ports/Clipboard.h"
#include "core/ports/Shell.h"

namespace brevanto {
namespace {

constexpr KeyCode kCtrl = 0x11;
constexpr KeyCode kV = 0x56;

}  // namespace

void Launch(const ButtonAssignment& record, Shell* shell) {
  Logger& logger = Logger::Instance();
  if (logger.Enabled(LogLevel::Info)) {
    logger.WriteAt(LogLevel::Info, __FILE__, __LINE__, "Launching program: " + record.targetName);
  }
  if (!shell) {
    LOG_ERROR("%d#button[%d]: no shell to launch with", record.joystickIndex, record.buttonIndex);
    return;
  }
  shell->Launch(record.targetName, record.parameters, record.startFrom);
}

void Paste(ButtonAssignment& record, Clipboard* clipboard) {
  Logger& logger = Logger::Instance();
  if (logger.Enabled(LogLevel::Debug)) {
    logger.WriteAt(LogLevel::Debug, __FILE__, __LINE__, "Pasting Text: " + record.pasteText);
  }
  const std::string text = ExpandText(record.pasteText);
  if (clipboard) {
    clipboard->SetClipboardText(text);
  } else {
    LOG_ERROR("%d#button[%d]: no clipboard to paste through", record.joystickIndex,
              record.buttonIndex);
  }

  // Ctrl+V through the counted key output, so a Ctrl another button holds
  // stays down.
  KeyList& held = record.heldCodes;
  held = KeyList{};
  held.count = 2;
  held.codes[0] = kCtrl;
  held.codes[1] = kV;
  held.scans[0] = DeriveScanCode(kCtrl);
  held.scans[1] = DeriveScanCode(kV);
  record.keysHeld = true;
  KeyOut(record, held.codes[0], held.scans[0], false, true);
  KeyOut(record, held.codes[1], held.scans[1], false, true);
  record.keysHeld = false;
  KeyOut(record, held.codes[1], held.scans[1], true, false);
  KeyOut(record, held.codes[0], held.scans[0], true, false);
}

}  // namespace brevanto
