// Program entry.
#include <string>
#include <vector>

#include "core/console.h"
#include "host/entry.h"
#include "host/process.h"

int main(int argc, char** argv) {
    core::openStandardDescriptors();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    host::exitProcess(host::runProgram(arguments));
}
