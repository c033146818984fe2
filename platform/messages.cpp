#include <cstdio>
#include <string>

#include "platform/video.h"

namespace platform {

namespace {
bool messagesToConsole = true;
}

void setMessagesToConsole(bool console) {
    messagesToConsole = console;
}

void showMessage(const std::string& text, const std::string& caption) {
    if (messagesToConsole) {
        if (caption.empty()) {
            std::fprintf(stderr, "%s\n", text.c_str());
        } else {
            std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
        }
        return;
    }
    // The desktop message box comes with the desktop backend.
    std::fprintf(stderr, "%s\n", text.c_str());
}

}  // namespace platform
