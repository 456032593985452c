#include "app/program/WindowMessages.h"

#include "core/log/Logger.h"
#include "core/processing/CopyData.h"
#include "core/processing/Messages.h"
#include "core/text/Encoding.h"

namespace brevanto {
namespace {

constexpr intptr_t kPlainButtons = 128;

bool IsPlainButton(intptr_t button) {
  return button >= 0 && button < kPlainButtons;
}

// The character of one byte of the Windows ANSI code page, Japanese here
// (CP932): 0xA1..0xDF are the half-width katakana. A byte that is no
// character on its own (half of a double-byte one) is U+FFFD.
char32_t AnsiCharacter(unsigned char byte) {
  if (byte < 0x80) return byte;
  const std::string text = Cp932ToUtf8(std::string(1, static_cast<char>(byte)));
  std::size_t pos = 0;
  char32_t c = 0;
  return NextUtf8(text, pos, c) && pos == text.size() ? c : U'\uFFFD';
}

}  // namespace

intptr_t WindowMessages::HandleInstanceMessage(const InstanceMessage& message) {
  switch (message.message) {
    case WM_QUERYENDSESSION:
      LOG_INFO("Received WM_QUERYENDSESSION.  Exiting...");
      actions_.EndSession();
      return 1;
    case WM_COPYDATA: {
      const std::string name = CopyDataText(message.payload);
      Logger::Instance().Write(LogLevel::Info, "Received WM_COPYDATA Message: " + name);
      if (!actions_.LoadProfileByName(name)) actions_.ReportMissingProfile();
      return 0;
    }
    case WM_INPUT_DEVICE_CHANGE:
      LOG_DEBUG("Received device change notification");
      actions_.RequestDetection();
      return 0;
    case WM_POWERBROADCAST:
      return actions_.PowerBroadcast(message.wParam);
    case WM_BRV_RESTORE:
      LOG_DEBUG("Received WM_BRV_RESTORE Message");
      actions_.Restore();
      return 0;
    case WM_BRV_SHOW:
      actions_.Restore();
      return 0;
    case WM_BRV_MINIMIZE:
      actions_.Minimize();
      return 0;
    case WM_BRV_SET_INPUT_TARGET:
      actions_.SetInputTarget(message.wParam, message.lParam);
      return 0;
    case WM_BRV_PRESS_BUTTON:
    case WM_BRV_RELEASE_BUTTON:
      if (IsPlainButton(message.lParam)) {
        actions_.SetInjectedButton(static_cast<int>(message.lParam),
                                   message.message == WM_BRV_PRESS_BUTTON);
      }
      return 0;
    case WM_BRV_SWITCH_FILE: {
      const char32_t initial = AnsiCharacter(static_cast<unsigned char>(message.lParam & 0xFF));
      std::string text;
      AppendUtf8(text, initial);
      LOG_INFO("Received WM_BRV_SWITCH_FILE Message: %s", text.c_str());
      if (!actions_.LoadProfileByInitial(initial)) actions_.ReportMissingProfile();
      return 0;
    }
    case WM_BRV_REFRESH_DEVICES:
      LOG_INFO("Received WM_BRV_REFRESH_DEVICES Message");
      actions_.RedetectDevices();
      return 0;
    case WM_BRV_UPDATE_CAPTION:
    case WM_BRV_PROFILE_CHANGED:
    case WM_BRV_BUTTONS_CHANGED:
    case WM_BRV_DEVICES_CHANGED:
      actions_.ForWindow(PostedMessage{message.message, message.wParam, message.lParam});
      return 0;
    default:
      // Raw input has no counterpart here (hidraw is read directly), and
      // unknown numbers are not this program's.
      return 0;
  }
}

}  // namespace brevanto
