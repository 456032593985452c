#pragma once

namespace brevanto::ctl {

// brevantoctl replay [--set Key=Value]... [--log FILE] PROFILE.cfg SCRIPT:
// runs the processing cycle over a scripted controller recording and prints
// every output call.
int RunReplay(int argc, char** argv);

}  // namespace brevanto::ctl
