#include "platform/messages.h"

#include <cstdio>
#include <string>

#include "platform/dialogs.h"

namespace platform {

namespace {
bool messagesToConsole = true;
}

void setMessagesToConsole(bool console) {
    messagesToConsole = console;
}

void showMessage(const std::string& text, const std::string& caption) {
    // On the desktop a box with one OK button; without a display, the same words on one line.
    if (!messagesToConsole && messageBox(text, caption)) {
        return;
    }
    if (caption.empty()) {
        std::fprintf(stderr, "%s\n", text.c_str());
    } else {
        std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    }
}

}  // namespace platform
