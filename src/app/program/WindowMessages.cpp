#include "app/program/WindowMessages.h"

#include "core/log/Logger.h"
#include "core/processing/CopyData.h"
#include "core/processing/Messages.h"

namespace brevanto {
namespace {

constexpr intptr_t kPlainButtons = 128;

bool IsPlainButton(intptr_t button) {
  return button >= 0 && button < kPlainButtons;
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
      const char initial = static_cast<char>(message.lParam & 0xFF);
      LOG_INFO("Received WM_BRV_SWITCH_FILE Message: %c", initial);
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
