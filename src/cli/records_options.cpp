#include "cli/records_options.hpp"

#include "cli/cli_options.hpp"
#include "image/serial_stamp.hpp"
#include "records/store_address.hpp"

namespace quillon {

namespace {

bool AllDigits(const std::string& text, std::size_t most) {
    return !text.empty() && text.size() <= most &&
           text.find_first_not_of("0123456789") == std::string::npos;
}

// YYYY-MM-DD with a month and a day that can be.
bool IsDay(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    if (!AllDigits(text.substr(0, 4), 4) || !AllDigits(text.substr(5, 2), 2) ||
        !AllDigits(text.substr(8, 2), 2)) {
        return false;
    }
    const int month = std::stoi(text.substr(5, 2));
    const int day = std::stoi(text.substr(8, 2));
    return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

}  // namespace

const char* RecordsOptionValue(std::string_view word) {
    if (word == "--records") return "sqlite:PATH or a postgresql:// URI";
    if (word == "--station") return "a station name";
    if (word == "--serial") return "ADDR:FORMAT[:FIRST], for example 3FFF0:u32be:1000";
    if (word == "--serial-value") return "a serial number";
    if (word == "--since") return "a day, YYYY-MM-DD";
    return nullptr;
}

void TakeRecordsOption(std::string_view word, const std::string& value, CliOptions& options,
                       std::vector<std::string>& errors) {
    Request& r = options.request;
    std::string error;
    if (word == "--records") {
        // Whether it is a store at all; the program folder comes later.
        StoreAddress address;
        if (ParseStoreAddress(value, "", address, error)) {
            r.recordsStore = value;
        } else {
            errors.push_back("--records: " + error);
        }
    } else if (word == "--station") {
        if (value.empty()) {
            errors.push_back("--station needs a name");
        } else {
            r.station = value;
        }
    } else if (word == "--serial") {
        SerialPlacement placement;
        if (ParseSerialPlacement(value, placement, error)) {
            r.serial = value;
        } else {
            errors.push_back("--serial: " + error);
        }
    } else if (word == "--serial-value") {
        if (AllDigits(value, 18)) {
            r.serialValue = std::stoull(value);
        } else {
            errors.push_back("--serial-value takes a decimal number, not " + value);
        }
    } else if (word == "--since") {
        if (IsDay(value)) {
            options.since = value;
        } else {
            errors.push_back("--since takes a day as YYYY-MM-DD, not " + value);
        }
    }
}

void CheckRecordsOptions(const CliOptions& options, std::vector<std::string>& errors) {
    if (options.request.serialValue && !options.gangPorts.empty()) {
        errors.push_back("--serial-value gives one board its number; a gang takes a number per "
                         "board (--serial)");
    }
}

}  // namespace quillon
