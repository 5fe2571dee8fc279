#include "config/key_file.hpp"

#include <cctype>

#include "config/catalog.hpp"
#include "config/address_list.hpp"

namespace quillon {

std::vector<std::int32_t> KeyFileFields(std::string_view text) {
    std::vector<std::int32_t> fields;
    std::size_t begin = 0;
    while (begin <= text.size()) {
        std::size_t end = text.find(',', begin);
        if (end == std::string_view::npos) end = text.size();
        std::string_view field = text.substr(begin, end - begin);
        std::size_t first = 0;
        while (first < field.size() && std::isspace(static_cast<unsigned char>(field[first]))) {
            ++first;
        }
        // A line break after the last comma is no key byte of value 0.
        if (first < field.size()) fields.push_back(ParseListNumber(field.substr(first), 16));
        begin = end + 1;
    }
    return fields;
}

bool ParseSecurityKey(std::string_view text, std::uint32_t firstRangeStart, SecurityKey& key,
                      int& faultCode) {
    auto fault = [&](int code) {
        faultCode = code;
        return false;
    };
    const std::vector<std::int32_t> fields = KeyFileFields(text);
    if (fields.empty()) return fault(kMsgIllegalSecurityFile);
    const auto address = static_cast<std::uint32_t>(fields[0]);
    if (!(address + 1u > firstRangeStart)) return fault(kMsgIllegalSecurityFile);
    if (fields.size() < 2) return fault(kMsgIllegalSecurityFile);
    const std::int32_t length = fields[1];
    if (length < static_cast<std::int32_t>(kMinKeyLength)) return fault(kMsgKeyTooShort);
    if (length > static_cast<std::int32_t>(kMaxKeyLength)) return fault(kMsgKeyTooLong);
    if (fields.size() < 2 + static_cast<std::size_t>(length)) return fault(kMsgIllegalSecurityFile);
    key.address = address;
    key.bytes.clear();
    for (std::int32_t i = 0; i < length; ++i) {
        key.bytes.push_back(static_cast<std::uint8_t>(fields[2 + static_cast<std::size_t>(i)]));
    }
    return true;
}

}  // namespace quillon
