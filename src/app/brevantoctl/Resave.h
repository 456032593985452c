#pragma once

namespace brevanto::ctl {

// brevantoctl resave IN OUT: loads a profile and writes it to OUT in the
// current format.
int RunResave(int argc, char** argv);

}  // namespace brevanto::ctl
