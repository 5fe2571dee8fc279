#include "records/open_store.hpp"

#include "records/sql_record_store.hpp"

namespace quillon {

bool RecordStoresAvailable() { return true; }

std::string StoreName(const StoreAddress& address) {
    return address.kind == StoreAddress::Kind::Sqlite ? "the record store " + address.location
                                                      : "the record store at " + address.location;
}

std::unique_ptr<RecordStore> OpenRecordStore(const StoreAddress& address, std::string& error) {
    const std::string name = StoreName(address);
    std::string why;
    std::unique_ptr<SqlConnection> connection =
        address.kind == StoreAddress::Kind::Sqlite
            ? OpenSqliteConnection(address.location, 15000, why)
            : OpenPostgresConnection(address.location, why);
    if (!connection) {
        error = name + " cannot be reached: " + why;
        return nullptr;
    }
    auto store = std::make_unique<SqlRecordStore>(std::move(connection), name);
    if (!store->Prepare(why)) {
        error = why.rfind(name, 0) == 0 ? why : name + " cannot be used: " + why;
        return nullptr;
    }
    return store;
}

}  // namespace quillon
