// A build without the database clients (Debian has no MinGW builds of
// SQLite or libpq, and none is vendored): the record and serial numbers are
// refused with a clear message instead of being half there.

#include "records/open_store.hpp"

namespace quillon {

bool RecordStoresAvailable() { return false; }

std::string StoreName(const StoreAddress& address) { return "the record store " + address.location; }

std::unique_ptr<RecordStore> OpenRecordStore(const StoreAddress&, std::string& error) {
    error = "the station's record (SQLite, PostgreSQL) is not available in this build";
    return nullptr;
}

}  // namespace quillon
