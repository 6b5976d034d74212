#pragma once

#include <chrono>
#include <string>

#include "RegistryHive.h"

struct sqlite3;

namespace ocuvis {

// The hive kept in one SQLite database file.
//
// Rollback journal, not WAL: the file is the whole hive at rest (no -wal or -shm beside it), so
// it can be copied or carried as it is, and it works where shared memory maps do not; settings
// are written a few dozen values at a time, so WAL's concurrency buys nothing. Every call runs
// in one IMMEDIATE transaction, taking the write lock up front: two processes queue on the lock
// (up to the lock timeout) instead of failing at once or dead-locking on a lock upgrade, and a
// crash rolls back to the last whole call.
//
// A file is only written once it is known to be ours: its header must carry our application id
// (checked by reading the raw bytes, before SQLite touches it), our two tables must be there
// and a quick integrity check must pass. A file that is not a database, another program's
// database, or a damaged hive is left exactly as it is, and every call fails instead.
class SqliteHive final : public RegistryHive {
  public:
    static constexpr std::chrono::milliseconds kDefaultLockTimeout{2000};

    explicit SqliteHive(std::string databasePath,
                        std::chrono::milliseconds lockTimeout = kDefaultLockTimeout);
    ~SqliteHive() override;
    SqliteHive(const SqliteHive&) = delete;
    SqliteHive& operator=(const SqliteHive&) = delete;

    // OCUVIS_REGISTRY when set, else $XDG_CONFIG_HOME/Tolvane/registry.sqlite, else
    // ~/.config/Tolvane/registry.sqlite. Empty when no home can be found.
    static std::string DefaultPath();

    const std::string& databasePath() const { return path_; }

    HiveStatus ReadValue(std::string_view path, std::string_view name, StoredValue& value) override;
    HiveStatus WriteValue(std::string_view path, std::string_view name,
                          const StoredValue& value) override;
    HiveStatus RemoveKey(std::string_view path) override;

    // Lookups that create nothing, for inspection and tests: Done when the key exists.
    HiveStatus KeyExists(std::string_view path);
    // Names of a key's values, in the case they were first written; empty when it has none.
    std::vector<std::string> ValueNames(std::string_view path);

  private:
    bool EnsureOpen();
    bool VerifyOrCreateSchema(bool existingFile);
    void Close();
    // Forgets the connection after an error that says the file is no longer a sound hive, so
    // the next call checks the file again instead of writing into it.
    HiveStatus Failed(int code, HiveStatus status);

    std::string path_;
    std::chrono::milliseconds lockTimeout_;
    sqlite3* db_ = nullptr;
    bool suspect_ = false;
};

}  // namespace ocuvis
