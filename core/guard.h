#pragma once
// A few poisoned bytes after a table that shares an object with other tables, declared as
// `[[no_unique_address]] core::TableGuard afterName;` right after it. Separate globals each get
// a red zone from the address sanitizer; tables grouped into one state object sit back to back,
// so without a guard a routine running off the end of one would read the next unnoticed. Takes
// no room outside sanitizer builds.
#include <array>
#include <cstddef>
#include <cstdint>

#if defined(__SANITIZE_ADDRESS__)
#define SG2_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SG2_ADDRESS_SANITIZER 1
#endif
#endif

#ifdef SG2_ADDRESS_SANITIZER
#include <sanitizer/asan_interface.h>
#endif

namespace core {

#ifdef SG2_ADDRESS_SANITIZER
inline constexpr bool kTablesGuarded = true;

class TableGuard {
  public:
    TableGuard() { ASAN_POISON_MEMORY_REGION(bytes_.data(), bytes_.size()); }
    // A copied table keeps its own guard; the poisoned bytes are never read.
    TableGuard(const TableGuard&) : TableGuard() {}
    TableGuard& operator=(const TableGuard&) { return *this; }
    ~TableGuard() { ASAN_UNPOISON_MEMORY_REGION(bytes_.data(), bytes_.size()); }

  private:
    std::array<std::uint8_t, 32> bytes_;
};
#else
inline constexpr bool kTablesGuarded = false;

struct TableGuard {};
#endif

}  // namespace core
