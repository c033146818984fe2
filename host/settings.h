#pragma once
// The host's record of the launch choices: filled by the launcher or the command line, then
// handed to the display set-up and the timeline.
#include "core/settings.h"

namespace host {

using core::LaunchSettings;
extern LaunchSettings launchSettings;

}  // namespace host
