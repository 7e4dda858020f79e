// Which engine keeps the globals, and opening a store on it.
#pragma once

#include <memory>
#include <string>

#include "devserver/storage/global_store.h"

namespace vorn::devserver {

enum class StoreEngine { Sqlite, Gtm };

struct StoreLocation {
    StoreEngine engine = StoreEngine::Sqlite;
    std::string path;  // the SQLite file, or the GT.M data folder
};

// Makes the location usable before any store opens it (GT.M: the global directory, the
// database and its journal, recovery); nothing to do for SQLite. Throws StoreError.
void PrepareStore(const StoreLocation& where);
std::unique_ptr<GlobalStore> OpenStore(const StoreLocation& where);

}  // namespace vorn::devserver
