#pragma once
// The console: standard output carries the progress dots and the show's own lines; every
// diagnostic goes to standard error as one line that begins on a line of its own, never glued
// to the dots when both streams reach the same terminal or file.
#include <string>

namespace core {

// Opens /dev/null on whichever of descriptors 0, 1 and 2 is closed, so that no file the
// program opens later lands on one of them and receives its dots or diagnostics.
void openStandardDescriptors();

// Writes one progress dot to standard output (flushed) and counts it.
void writeProgressDot();
int progressDotsWritten();
// Shows `text` on standard error in place of the previous progress text ("\r" and no
// newline), for progress that keeps changing; text ending in a newline closes the line.
void showProgress(const std::string& text);
// Writes `line` and a newline to standard error, first ending an open progress line: the
// progress text's, or the dots' when standard output and standard error are the same file.
void errorLine(const std::string& line);

}  // namespace core
