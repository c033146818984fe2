// Dialogs in the browser: the page's own form is the launcher, and messages go to the
// console (the page shows standard error).
#include "platform/dialogs.h"

namespace platform {

int runModal(const DialogTemplate&, const DialogProcedure&) {
    return kCommandCancel;
}

bool messageBox(const std::string&, const std::string&) {
    return false;
}

}  // namespace platform
