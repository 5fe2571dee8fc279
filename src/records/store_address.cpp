#include "records/store_address.hpp"

#include <cctype>
#include <string_view>

#include "platform/ascii_case.hpp"
#include "platform/paths.hpp"

namespace quillon {

namespace {

// %XX sequences decoded, as libpq reads the URI.
std::string PercentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// user:password@ before the host, or password= among the parameters.
bool HoldsPassword(std::string_view uri) {
    const std::size_t scheme = uri.find("://");
    std::string_view rest = uri.substr(scheme + 3);
    const std::size_t query = rest.find('?');
    std::string_view authority = rest.substr(0, std::min(rest.find('/'), query));
    const std::size_t at = authority.rfind('@');
    if (at != std::string_view::npos && authority.substr(0, at).find(':') != std::string_view::npos) {
        return true;
    }
    if (query == std::string_view::npos) return false;
    std::string_view params = rest.substr(query + 1);
    while (!params.empty()) {
        const std::size_t amp = params.find('&');
        const std::string_view param = params.substr(0, amp);
        if (EqualsIgnoringCase(PercentDecoded(param.substr(0, param.find('='))), "password")) {
            return true;
        }
        if (amp == std::string_view::npos) break;
        params = params.substr(amp + 1);
    }
    return false;
}

}  // namespace

bool ParseStoreAddress(const std::string& text, const std::string& programDir,
                       StoreAddress& address, std::string& error) {
    if (text.rfind("sqlite:", 0) == 0) {
        const std::string file = text.substr(7);
        address.kind = StoreAddress::Kind::Sqlite;
        address.location = JoinPath(programDir, file.empty() ? kDefaultRecordsFile : file);
        return true;
    }
    if (text.rfind("postgresql://", 0) == 0 || text.rfind("postgres://", 0) == 0) {
        if (HoldsPassword(text)) {
            error = "the PostgreSQL URI holds a password; put it in the password file "
                    "(~/.pgpass) or PGPASSWORD instead";
            return false;
        }
        address.kind = StoreAddress::Kind::Postgres;
        address.location = text;
        return true;
    }
    // Not repeated: a mistyped URI may still hold a password.
    error = "a record store is sqlite:PATH or a postgresql:// URI";
    return false;
}

}  // namespace quillon
