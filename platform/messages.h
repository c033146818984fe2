#pragma once
// Messages for the user: a message box on the desktop, one line on standard error without one.
#include <string>

namespace platform {

// A message box (caption empty: the default one) or, without a display, one line on
// standard error.
void showMessage(const std::string& text, const std::string& caption);
// True: every message goes to standard error (headless runs); false: boxes on the desktop.
void setMessagesToConsole(bool console);

}  // namespace platform
