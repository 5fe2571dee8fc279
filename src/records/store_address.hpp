#pragma once
// Where the station's record lives, as the user names it (--records STORE,
// [Records] Store= in Customize.ini): "sqlite:PATH" (relative to the program
// folder; "sqlite:" alone is quillon-records.db there) or a PostgreSQL
// connection URI ("postgresql://..." or "postgres://..."). A URI that holds
// a password is refused: the password comes from the password file
// (~/.pgpass, PGPASSFILE) or PGPASSWORD, so that it is never on a command
// line, in a settings file, or printed.

#include <string>

namespace quillon {

inline constexpr const char* kDefaultRecordsFile = "quillon-records.db";

struct StoreAddress {
    enum class Kind { Sqlite, Postgres };
    Kind kind = Kind::Sqlite;
    std::string location;  // the SQLite file's full path, or the URI as given
};

// False with `error` (which never repeats a password) for anything else.
[[nodiscard]] bool ParseStoreAddress(const std::string& text, const std::string& programDir,
                                     StoreAddress& address, std::string& error);

}  // namespace quillon
