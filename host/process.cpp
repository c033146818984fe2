#include "host/process.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace host {

namespace {
std::vector<std::function<void(int)>>& exitHooks() {
    static std::vector<std::function<void(int)>> hooks;
    return hooks;
}
}  // namespace

void addExitHook(std::function<void(int)> hook) {
    exitHooks().push_back(std::move(hook));
}

void exitProcess(int status) {
    auto& hooks = exitHooks();
    while (!hooks.empty()) {
        auto hook = std::move(hooks.back());
        hooks.pop_back();
        hook(status);
    }
    std::fflush(stdout);
    std::exit(status);
}

}  // namespace host
