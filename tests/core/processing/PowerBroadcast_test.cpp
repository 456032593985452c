#include "core/processing/PowerBroadcast.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/processing/Messages.h"
#include "support/LogCapture.h"

namespace brevanto {
namespace {

class RecordingPowerState : public PowerStateHandler {
 public:
  void Suspend() override { calls += "S"; }
  void Resume() override { calls += "R"; }
  std::string calls;
};

struct Event {
  intptr_t wParam;
  uint32_t at;  // tick count in ms
};

TEST(PowerBroadcast, SuspendStopsAndEachResumeReinitialisesOnce) {
  struct Case {
    const char* name;
    std::vector<Event> events;
    const char* calls;
    int reinitialisations;
  };
  const Case cases[] = {
      {"suspend", {{PBT_APMSUSPEND, 0}}, "S", 0},
      {"automatic, then by the user 500 ms later",
       {{PBT_APMSUSPEND, 0}, {PBT_APMRESUMEAUTOMATIC, 1000}, {PBT_APMRESUMESUSPEND, 1500}},
       "SR",
       1},
      {"by the user 1999 ms later",
       {{PBT_APMRESUMEAUTOMATIC, 0}, {PBT_APMRESUMESUSPEND, 1999}},
       "R",
       1},
      {"by the user 2000 ms later",
       {{PBT_APMRESUMEAUTOMATIC, 0}, {PBT_APMRESUMESUSPEND, 2000}},
       "RR",
       2},
      {"across the wrap of the tick count",
       {{PBT_APMRESUMEAUTOMATIC, 0xFFFFFF00u}, {PBT_APMRESUMESUSPEND, 500}},
       "R",
       1},
      {"user first, then automatic",
       {{PBT_APMRESUMESUSPEND, 0}, {PBT_APMRESUMEAUTOMATIC, 10}},
       "RR",
       2},
      {"automatic twice", {{PBT_APMRESUMEAUTOMATIC, 0}, {PBT_APMRESUMEAUTOMATIC, 10}}, "RR", 2},
      // A new sleep in between: the second report belongs to another wake-up.
      {"sleep again at once",
       {{PBT_APMRESUMEAUTOMATIC, 0}, {PBT_APMSUSPEND, 300}, {PBT_APMRESUMESUSPEND, 900}},
       "RSR",
       2},
  };
  for (const Case& c : cases) {
    testing::LogCapture log;
    RecordingPowerState state;
    uint32_t now = 0;
    PowerBroadcastHandler handler(state, [&] { return now; });
    for (const Event& e : c.events) {
      now = e.at;
      EXPECT_EQ(handler.Handle(e.wParam), 0) << c.name;
    }
    EXPECT_EQ(state.calls, c.calls) << c.name;
    int reinitialised = 0;
    for (const std::string& m : log.Messages()) reinitialised += m == "Reinitializing joysticks...";
    EXPECT_EQ(reinitialised, c.reinitialisations) << c.name;
  }
}

TEST(PowerBroadcast, EveryEventIsLoggedByName) {
  testing::LogCapture log(/*debug=*/true);
  RecordingPowerState state;
  PowerBroadcastHandler handler(state, [] { return 0u; });
  EXPECT_EQ(handler.Handle(PBT_APMQUERYSUSPEND), 1);
  handler.Handle(PBT_APMSUSPEND);
  handler.Handle(PBT_APMRESUMEAUTOMATIC);
  handler.Handle(PBT_APMRESUMESUSPEND);
  handler.Handle(10);
  EXPECT_EQ(log.Messages(), (std::vector<std::string>{
                                "Received PBT_APMQUERYSUSPEND",
                                "Received PBT_APMSUSPEND: Disabling the timer and joysticks...",
                                "Received PBT_APMRESUMEAUTOMATIC",
                                "Reinitializing joysticks...",
                                "Received PBT_APMRESUMESUSPEND",
                                "Received unknown power broadcast message: 10",
                            }));
  EXPECT_EQ(state.calls, "SR");
}

}  // namespace
}  // namespace brevanto
