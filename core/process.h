#pragma once
// The process services any part of the program may use: ending the process with a status and
// draining the window's messages. The host installs what they do; until then the end is a
// plain exit and the pump does nothing.

namespace core {

// Must not return.
using ProcessEnd = void (*)(int status);
using MessagePump = void (*)();

// Passing nullptr restores the default.
void installProcessEnd(ProcessEnd end);
void installMessagePump(MessagePump pump);

// Ends the process with `status` through the installed end (which runs the host's exit work),
// or flushes standard output and exits.
[[noreturn]] void exitProcess(int status);
// Runs the installed pump; it may end the process.
void pumpMessages();

}  // namespace core
