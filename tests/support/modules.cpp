#include "tests/support/modules.h"

#include <cstdlib>
#include <fstream>

#include "content/it_writer.h"

namespace testsupport {

std::vector<std::uint8_t> buildModule(const ModulePlan& plan) {
    content::ItModule module;
    module.title = "timing";
    module.initialSpeed = static_cast<std::uint8_t>(plan.speed);
    module.initialTempo = static_cast<std::uint8_t>(plan.tempo);
    module.channels = 1;
    // A short click on every row start keeps the module non-silent and checkable by ear.
    content::ItSample click;
    click.name = "click";
    for (int i = 0; i < 64; ++i) {
        click.data.push_back(static_cast<std::int16_t>((i & 8) ? 6000 : -6000));
    }
    module.samples.push_back(click);
    for (int p = 0; p < plan.orders; ++p) {
        content::ItPattern pattern(plan.rows, 1);
        content::ItCell& first = pattern.at(0, 0);
        first.note = content::itNote(0, 5);
        first.instrument = 1;
        if (static_cast<std::size_t>(p) < plan.patternSpeed.size()) {
            first.effect = content::itEffect('A');
            first.param = static_cast<std::uint8_t>(plan.patternSpeed[static_cast<std::size_t>(p)]);
        }
        if (static_cast<std::size_t>(p) < plan.patternTempo.size()) {
            content::ItCell& second = pattern.at(plan.rows > 1 ? 1 : 0, 0);
            second.effect = content::itEffect('T');
            second.param =
                static_cast<std::uint8_t>(plan.patternTempo[static_cast<std::size_t>(p)]);
        }
        module.patterns.push_back(pattern);
        module.orders.push_back(static_cast<std::uint8_t>(p));
    }
    return content::writeIt(module);
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        std::abort();
    }
}

}  // namespace testsupport
