#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/RegistryHive.h"

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
// database, or a damaged hive is left exactly as it is, and every call fails instead. A file
// without write permission is opened for reading only: its values load, and writes fail.
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
    // One IMMEDIATE transaction for the whole batch; the calls in it run in savepoints, so a
    // call that fails undoes only itself.
    HiveStatus BeginBatch() override;
    HiveStatus EndBatch() override;
    std::string FailureCause() const override { return cause_; }
    bool FailureIsWhole() const override { return whole_; }

    // Lookups that create nothing, for inspection and tests: Done when the key exists.
    HiveStatus KeyExists(std::string_view path);
    // Names of a key's values, in the case they were first written; empty when it has none.
    std::vector<std::string> ValueNames(std::string_view path);

  private:
    // Clears the last call's failure, splits the key path and opens the file; false, with the
    // cause noted, when either fails.
    bool StartCall(std::string_view path, std::vector<std::string_view>& parts);
    // Opens the file when needed; false, with the cause noted, when it cannot be used at all.
    bool EnsureOpen();
    bool OpenFile();
    bool VerifyOrCreateSchema(bool existingFile);
    // Whether this call runs inside the batch's transaction.
    bool InBatch() const;
    bool Refuse(const std::string& cause);
    void Close();
    // Notes the cause; after an error that says the file is no longer a sound hive, forgets the
    // connection, so the next call checks the file again instead of writing into it.
    HiveStatus Failed(int code, HiveStatus status);
    // Writes are refused at once on a file opened for reading only.
    HiveStatus RefuseWrite();
    // The key of the path (made on the way when create is set); what to answer when there is
    // none, else nothing.
    std::optional<HiveStatus> FindKeyOf(const std::vector<std::string_view>& parts, bool create,
                                        std::int64_t& key);

    std::string path_;
    std::chrono::milliseconds lockTimeout_;
    sqlite3* db_ = nullptr;
    bool suspect_ = false;
    bool readOnly_ = false;
    std::string readOnlyCause_;
    int batchDepth_ = 0;
    bool batchOpen_ = false;
    int batchError_ = 0;  // the first failure inside the batch's transaction
    std::string cause_;
    bool whole_ = false;  // the latest failure is the file's, for every call
};

}  // namespace ocuvis
