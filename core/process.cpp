#include "core/process.h"

#include <cstdio>
#include <cstdlib>

namespace core {

namespace {
ProcessEnd processEnd = nullptr;
MessagePump messagePump = nullptr;
}  // namespace

void installProcessEnd(ProcessEnd end) {
    processEnd = end;
}

void installMessagePump(MessagePump pump) {
    messagePump = pump;
}

void exitProcess(int status) {
    if (processEnd != nullptr) {
        processEnd(status);
    }
    std::fflush(stdout);
    std::exit(status);
}

void pumpMessages() {
    if (messagePump != nullptr) {
        messagePump();
    }
}

}  // namespace core
