#include "host/process.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/output.h"
#include "core/stop.h"
#include "platform/page_loop.h"

namespace host {

namespace {
std::vector<std::function<void(int&)>>& exitHooks() {
    static std::vector<std::function<void(int&)>> hooks;
    return hooks;
}
}  // namespace

void addExitHook(std::function<void(int&)> hook) {
    exitHooks().push_back(std::move(hook));
}

namespace {
int runExitWork(int status) {
    status = core::endStatus(status);
    if (status != 0) {
        core::abandonOutputs();
    }
    auto& hooks = exitHooks();
    while (!hooks.empty()) {
        auto hook = std::move(hooks.back());
        hooks.pop_back();
        const int before = status;
        hook(status);
        if (before == 0 && status != 0) {
            core::abandonOutputs();
        }
    }
    std::fflush(stdout);
    return status;
}
}  // namespace

void exitProcess(int status) {
    platform::endProgram(runExitWork(status));
}

void exitProcessAtOnce(int status) {
    std::_Exit(runExitWork(status));
}

}  // namespace host
