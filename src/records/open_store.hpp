#pragma once
// The record store an address names, opened and with its tables ready.
// A build without the database clients (the Windows one) has none: there
// it says so.

#include <memory>
#include <string>

#include "records/record_store.hpp"
#include "records/store_address.hpp"

namespace quillon {

// False in a build without the SQLite and PostgreSQL clients.
bool RecordStoresAvailable();

// Null with `error` (naming the store, never a password) when it cannot be
// reached, is not a record store, or holds a newer schema.
std::unique_ptr<RecordStore> OpenRecordStore(const StoreAddress& address, std::string& error);

// How `address` is named in messages.
std::string StoreName(const StoreAddress& address);

}  // namespace quillon
