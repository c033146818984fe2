// Test-only module inspection through libopenmpt, kept beside the player so no other
// directory needs the library's headers.
#include "platform/module_info.h"

#include <exception>
#include <libopenmpt/libopenmpt.hpp>
#include <memory>

namespace platform {

namespace {

std::unique_ptr<openmpt::module> openModule(const std::vector<std::uint8_t>& bytes,
                                            std::string& error) {
    try {
        return std::make_unique<openmpt::module>(bytes);
    } catch (const std::exception& failure) {
        error = std::string("not a playable module (") + failure.what() + ")";
        return nullptr;
    }
}

}  // namespace

bool readModuleInfo(const std::vector<std::uint8_t>& bytes, ModuleInfo& info, std::string& error) {
    const std::unique_ptr<openmpt::module> module = openModule(bytes, error);
    if (module == nullptr) {
        return false;
    }
    info = ModuleInfo{};
    info.title = module->get_metadata("title");
    for (std::int32_t order = 0; order < module->get_num_orders(); ++order) {
        info.orderPatterns.push_back(module->get_order_pattern(order));
    }
    for (std::int32_t pattern = 0; pattern < module->get_num_patterns(); ++pattern) {
        info.patternRows.push_back(module->get_pattern_num_rows(pattern));
    }
    info.sampleNames = module->get_sample_names();
    info.instrumentNames = module->get_instrument_names();
    info.durationSeconds = module->get_duration_seconds();
    return true;
}

ModuleCellText readModuleCell(const std::vector<std::uint8_t>& bytes, std::int32_t pattern,
                              std::int32_t row, std::int32_t channel) {
    std::string error;
    const std::unique_ptr<openmpt::module> module = openModule(bytes, error);
    if (module == nullptr || pattern < 0 || pattern >= module->get_num_patterns() || row < 0 ||
        row >= module->get_pattern_num_rows(pattern) || channel < 0 ||
        channel >= module->get_num_channels()) {
        return {};
    }
    auto text = [&](openmpt::module::command_index command) {
        return module->format_pattern_row_channel_command(pattern, row, channel, command);
    };
    return {text(openmpt::module::command_note), text(openmpt::module::command_instrument),
            text(openmpt::module::command_effect), text(openmpt::module::command_parameter)};
}

}  // namespace platform
