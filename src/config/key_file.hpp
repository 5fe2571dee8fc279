#pragma once
// The key file of the chips with flash security: comma-separated hexadecimal
// fields, the key address, the key length and the key bytes.

#include <cstdint>
#include <string_view>
#include <vector>

namespace quillon {

inline constexpr std::uint32_t kMinKeyLength = 7;
inline constexpr std::uint32_t kMaxKeyLength = 254;

struct SecurityKey {
    std::uint32_t address = 0;  // the file's first field; the key command carries it plus one
    std::vector<std::uint8_t> bytes;
};

// The values of the non-empty fields, in file order. A field holding only
// white space counts as empty.
std::vector<std::int32_t> KeyFileFields(std::string_view text);

// Checks and takes the key. False with `faultCode` the catalog code of the
// first fault: 407 (address missing or below `firstRangeStart`, length or a
// key byte missing), 405 (length below 7), 406 (length above 254).
[[nodiscard]] bool ParseSecurityKey(std::string_view text, std::uint32_t firstRangeStart,
                                    SecurityKey& key, int& faultCode);

}  // namespace quillon
