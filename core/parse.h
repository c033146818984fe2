#pragma once
// Whole-string integer parsing for option values, settings files and tool arguments: "12",
// never "12abc", " 12" or "".
#include <charconv>
#include <optional>
#include <string_view>

namespace core {

inline std::optional<int> parseWholeInt(std::string_view text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [next, failure] = std::from_chars(text.data(), end, value);
    if (failure != std::errc{} || next != end || text.empty()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace core
