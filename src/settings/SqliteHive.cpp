#include "settings/SqliteHive.h"

#include <pwd.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

namespace ocuvis {

namespace {

// "Ocvs" in the header's application id field: the mark that a database file is a hive of ours.
constexpr std::int32_t kApplicationId = 0x4F637673;
constexpr int kSchemaVersion = 1;
constexpr std::size_t kMaxValueBytes = 64 * 1024 * 1024;

constexpr const char* kCreateSchema =
    "CREATE TABLE hive_keys ("
    "  id INTEGER PRIMARY KEY,"
    "  parent INTEGER NOT NULL,"  // 0 for keys at the top of the tree
    "  name TEXT NOT NULL COLLATE NOCASE,"
    "  UNIQUE (parent, name));"
    "CREATE TABLE hive_values ("
    "  key_id INTEGER NOT NULL,"
    "  name TEXT NOT NULL COLLATE NOCASE,"
    "  type INTEGER NOT NULL,"
    "  data BLOB NOT NULL,"
    "  PRIMARY KEY (key_id, name)) WITHOUT ROWID;";

// SQLite's NOCASE folds ASCII letters only, which is the folding key and value names need.

class Statement {
  public:
    // A statement that fails to prepare fails its first step with the connection's error.
    Statement(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr) != SQLITE_OK) stmt_ = nullptr;
    }
    ~Statement() { sqlite3_finalize(stmt_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void Bind(int index, std::int64_t value) { sqlite3_bind_int64(stmt_, index, value); }
    void Bind(int index, std::string_view text) {
        sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
    }
    void BindBlob(int index, const std::vector<std::uint8_t>& bytes) {
        // A non-null pointer keeps an empty value a zero-length blob rather than NULL.
        static const std::uint8_t kNothing = 0;
        sqlite3_bind_blob(stmt_, index, bytes.empty() ? &kNothing : bytes.data(),
                          static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    }
    // SQLITE_ROW, SQLITE_DONE or an error code.
    int Step() {
        if (stmt_ != nullptr) return sqlite3_step(stmt_);
        const int code = sqlite3_extended_errcode(db_);
        return code == SQLITE_OK ? SQLITE_ERROR : code;
    }
    std::int64_t Int(int column) { return sqlite3_column_int64(stmt_, column); }
    std::string Text(int column) {
        const auto* text = sqlite3_column_text(stmt_, column);
        return text == nullptr
                   ? std::string()
                   : std::string(reinterpret_cast<const char*>(text),
                                 static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column)));
    }
    std::vector<std::uint8_t> Blob(int column) {
        const auto* bytes = static_cast<const std::uint8_t*>(sqlite3_column_blob(stmt_, column));
        const int size = sqlite3_column_bytes(stmt_, column);
        if (bytes == nullptr || size <= 0) return {};
        return std::vector<std::uint8_t>(bytes, bytes + size);
    }

  private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
};

int Execute(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
}

// One call's transaction, or its savepoint inside a batch: rolled back unless committed.
class Transaction {
  public:
    Transaction(sqlite3* db, bool write, bool inBatch)
        : db_(db),
          inBatch_(inBatch),
          result_(Execute(db, inBatch ? "SAVEPOINT call"
                              : write ? "BEGIN IMMEDIATE"
                                      : "BEGIN")) {}
    ~Transaction() {
        if (result_ == SQLITE_OK && !finished_) Undo();
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    int result() const { return result_; }
    int Commit() {
        finished_ = true;
        const int code = Execute(db_, inBatch_ ? "RELEASE call" : "COMMIT");
        if (code != SQLITE_OK) Undo();
        return code;
    }

  private:
    void Undo() {
        if (inBatch_) {
            Execute(db_, "ROLLBACK TO call");
            Execute(db_, "RELEASE call");
        } else {
            Execute(db_, "ROLLBACK");
        }
    }

    sqlite3* db_;
    bool inBatch_;
    int result_;
    bool finished_ = false;
};

// What keeps a file from serving as the hive, after its path.
std::string CauseOf(int code) {
    switch (code & 0xFF) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return "is in use by another program";
        case SQLITE_READONLY:
            return "is read-only";
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return "is damaged";
        case SQLITE_FULL:
            return "cannot grow: the disk is full";
        case SQLITE_CANTOPEN:
            return "cannot be opened";
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return "may not be changed";
        case SQLITE_IOERR:
            return "cannot be read or written (input/output error)";
        default:
            return std::string("cannot be used (") + sqlite3_errstr(code) + ")";
    }
}

// Splits a backslash-separated key path. An empty path or an empty part (a doubled, leading or
// trailing backslash) names no key.
bool SplitKeyPath(std::string_view path, std::vector<std::string_view>& parts) {
    parts.clear();
    if (path.size() > kMaxValueBytes) return false;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = path.find('\\', start);
        const std::string_view part = path.substr(
            start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (part.empty()) return false;
        parts.push_back(part);
        if (end == std::string_view::npos) return true;
        start = end + 1;
    }
}

enum class Lookup { Found, Missing, Failed };

Lookup FindKey(sqlite3* db, const std::vector<std::string_view>& parts, bool create,
               std::int64_t& id, int& error) {
    id = 0;
    for (const std::string_view part : parts) {
        Statement find(db, "SELECT id FROM hive_keys WHERE parent = ?1 AND name = ?2");
        find.Bind(1, id);
        find.Bind(2, part);
        const int step = find.Step();
        if (step == SQLITE_ROW) {
            id = find.Int(0);
            continue;
        }
        if (step != SQLITE_DONE) {
            error = step;
            return Lookup::Failed;
        }
        if (!create) return Lookup::Missing;
        Statement insert(db, "INSERT INTO hive_keys (parent, name) VALUES (?1, ?2)");
        insert.Bind(1, id);
        insert.Bind(2, part);
        if (const int inserted = insert.Step(); inserted != SQLITE_DONE) {
            error = inserted;
            return Lookup::Failed;
        }
        id = sqlite3_last_insert_rowid(db);
    }
    return Lookup::Found;
}

// True when the file's first bytes are a SQLite header carrying our application id. Read
// directly, so that nothing can write to a file that is not ours.
bool HeaderIsOurs(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::array<char, 100> header{};
    if (!file.read(header.data(), header.size())) return false;
    if (std::memcmp(header.data(), "SQLite format 3", 16) != 0) return false;
    const auto byte = [&](int i) {
        return static_cast<std::uint32_t>(
            static_cast<unsigned char>(header[static_cast<std::size_t>(i)]));
    };
    const std::uint32_t id = byte(68) << 24 | byte(69) << 16 | byte(70) << 8 | byte(71);
    return static_cast<std::int32_t>(id) == kApplicationId;
}

std::optional<std::int64_t> PragmaValue(sqlite3* db, const char* sql) {
    Statement pragma(db, sql);
    if (pragma.Step() != SQLITE_ROW) return std::nullopt;
    return pragma.Int(0);
}

}  // namespace

SqliteHive::SqliteHive(std::string databasePath, std::chrono::milliseconds lockTimeout)
    : path_(std::move(databasePath)), lockTimeout_(lockTimeout) {}

SqliteHive::~SqliteHive() {
    Close();
}

namespace {

// The program never sets a variable, so reading the environment races with nothing.
const char* EnvironmentValue(const char* name) {
    return std::getenv(name);  // NOLINT(concurrency-mt-unsafe)
}

}  // namespace

std::string SqliteHive::DefaultPath() {
    if (const char* chosen = EnvironmentValue("OCUVIS_REGISTRY"); chosen != nullptr && *chosen != 0)
        return chosen;
    std::string base;
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the XDG base directory rules say.
    if (const char* config = EnvironmentValue("XDG_CONFIG_HOME");
        config != nullptr && config[0] == '/') {
        base = config;
    } else {
        std::string home;
        passwd entry{};
        passwd* user = nullptr;
        std::array<char, 4096> names{};
        if (const char* env = EnvironmentValue("HOME"); env != nullptr && *env != 0) {
            home = env;
        } else if (getpwuid_r(getuid(), &entry, names.data(), names.size(), &user) == 0 &&
                   user != nullptr && user->pw_dir != nullptr) {
            home = user->pw_dir;
        }
        if (home.empty()) return {};
        base = home + "/.config";
    }
    return base + "/Tolvane/registry.sqlite";
}

void SqliteHive::Close() {
    if (db_ != nullptr) sqlite3_close_v2(db_);
    db_ = nullptr;
    batchOpen_ = false;
}

bool SqliteHive::Refuse(const std::string& cause) {
    cause_ = path_ + " " + cause;
    return false;
}

HiveStatus SqliteHive::Failed(int code, HiveStatus status) {
    if (cause_.empty()) cause_ = path_ + " " + CauseOf(code);
    if (batchOpen_ && batchError_ == 0) batchError_ = code;
    const int primary = code & 0xFF;
    // Closed at the start of the next call, once this call's statements are gone.
    if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB) suspect_ = true;
    return status;
}

std::optional<HiveStatus> SqliteHive::FindKeyOf(const std::vector<std::string_view>& parts,
                                                bool create, std::int64_t& key) {
    int error = SQLITE_OK;
    switch (FindKey(db_, parts, create, key, error)) {
        case Lookup::Found:
            return std::nullopt;
        case Lookup::Missing:
            return HiveStatus::Missing;
        case Lookup::Failed:
            break;
    }
    return Failed(error, HiveStatus::KeyUnavailable);
}

HiveStatus SqliteHive::RefuseWrite() {
    cause_ = path_ + " " + readOnlyCause_;
    return HiveStatus::KeyUnavailable;
}

bool SqliteHive::InBatch() const {
    // SQLite ends the transaction by itself after some errors; the calls then stand alone.
    return batchOpen_ && sqlite3_get_autocommit(db_) == 0;
}

bool SqliteHive::StartCall(std::string_view path, std::vector<std::string_view>& parts) {
    cause_.clear();
    whole_ = false;
    if (!SplitKeyPath(path, parts)) {
        constexpr std::size_t kShown = 200;
        cause_ = "the key path \"" + std::string(path.substr(0, kShown)) +
                 (path.size() > kShown ? "...\"" : "\"") + " has an empty part or is too long";
        return false;
    }
    return EnsureOpen();
}

bool SqliteHive::EnsureOpen() {
    if (OpenFile()) return true;
    whole_ = true;
    if (cause_.empty()) cause_ = path_ + " cannot be used";
    return false;
}

bool SqliteHive::OpenFile() {
    if (suspect_) Close();
    suspect_ = false;
    if (db_ != nullptr) return true;
    if (path_.empty()) {
        cause_ = "no home folder is known to keep them in";
        return false;
    }

    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path file(path_);
    if (file.has_parent_path()) {
        fs::create_directories(file.parent_path(), ec);
        if (ec) return Refuse("cannot be made: its folder cannot be made");
    }

    bool existingFile = false;
    readOnly_ = false;
    struct stat info {};
    if (stat(path_.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode)) return Refuse("is not a file");
        // Permission bits count even for the super-user: a file made read-only stays unwritten.
        // The journal is made beside the file, so its folder must be writable too.
        const std::string folder = file.has_parent_path() ? file.parent_path().string() : ".";
        if ((info.st_mode & 0222) == 0 || access(path_.c_str(), W_OK) != 0) {
            readOnly_ = true;
            readOnlyCause_ = "is read-only";
        } else if (access(folder.c_str(), W_OK) != 0) {
            readOnly_ = true;
            readOnlyCause_ = "is in a folder that cannot be written";
        }
        if (info.st_size > 0) {
            if (!HeaderIsOurs(path_)) return Refuse("is not a settings file of this program");
            existingFile = true;
        } else if (readOnly_) {
            return Refuse(readOnlyCause_);
        }
    } else if (errno != ENOENT) {
        return Refuse("cannot be opened");
    }

    const int flags = readOnly_ ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    if (sqlite3_open_v2(path_.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        Close();
        return Refuse("cannot be opened");
    }
    if (!readOnly_ && sqlite3_db_readonly(db_, "main") == 1) {
        readOnly_ = true;
        readOnlyCause_ = "is read-only";
    }
    sqlite3_extended_result_codes(db_, 1);
    sqlite3_busy_timeout(db_, static_cast<int>(lockTimeout_.count()));
    if (!VerifyOrCreateSchema(existingFile)) {
        Close();
        return false;
    }
    return true;
}

bool SqliteHive::VerifyOrCreateSchema(bool existingFile) {
    Transaction transaction(db_, !readOnly_, false);
    if (transaction.result() != SQLITE_OK) {
        cause_ = path_ + " " + CauseOf(transaction.result());
        return false;
    }

    const auto applicationId = PragmaValue(db_, "PRAGMA application_id");
    const auto version = PragmaValue(db_, "PRAGMA user_version");
    if (!applicationId || !version) return Refuse("is damaged");

    std::vector<std::string> tables;
    {
        Statement list(db_, "SELECT name FROM sqlite_schema WHERE type = 'table'");
        int step;
        while ((step = list.Step()) == SQLITE_ROW)
            tables.push_back(list.Text(0));
        if (step != SQLITE_DONE) return Refuse(CauseOf(step));
    }
    Statement objects(db_, "SELECT count(*) FROM sqlite_schema");
    if (const int step = objects.Step(); step != SQLITE_ROW) return Refuse(CauseOf(step));
    const std::int64_t objectCount = objects.Int(0);

    if (*applicationId == kApplicationId) {
        // A later version's layout may differ: leave it alone rather than guess.
        if (*version != kSchemaVersion) return Refuse("was written by a later version");
        const auto has = [&](const char* name) {
            for (const auto& table : tables)
                if (table == name) return true;
            return false;
        };
        if (!has("hive_keys") || !has("hive_values")) return Refuse("is damaged");
        Statement check(db_, "PRAGMA quick_check");
        if (check.Step() != SQLITE_ROW || check.Text(0) != "ok") return Refuse("is damaged");
        // Id 0 stands for "no parent": a key with it makes the tree loop back to its top.
        Statement root(db_, "SELECT EXISTS (SELECT 1 FROM hive_keys WHERE id = 0)");
        if (root.Step() != SQLITE_ROW || root.Int(0) != 0) return Refuse("is damaged");
        return transaction.Commit() == SQLITE_OK || Refuse("cannot be opened");
    }

    // Only a file that was empty or missing before SQLite opened it, and is still empty under
    // the lock, gets our tables.
    if (existingFile || *applicationId != 0 || objectCount != 0)
        return Refuse("is not a settings file of this program");
    if (Execute(db_, kCreateSchema) != SQLITE_OK ||
        Execute(db_, ("PRAGMA application_id = " + std::to_string(kApplicationId)).c_str()) !=
            SQLITE_OK ||
        Execute(db_, ("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str()) !=
            SQLITE_OK)
        return Refuse("cannot be made");
    if (const int committed = transaction.Commit(); committed != SQLITE_OK) {
        cause_ = path_ + " " + CauseOf(committed);
        return false;
    }
    return true;
}

HiveStatus SqliteHive::ReadValue(std::string_view path, std::string_view name, StoredValue& value) {
    std::vector<std::string_view> parts;
    if (!StartCall(path, parts)) return HiveStatus::KeyUnavailable;
    Transaction transaction(db_, !readOnly_, InBatch());
    if (transaction.result() != SQLITE_OK)
        return Failed(transaction.result(), HiveStatus::KeyUnavailable);
    std::int64_t key = 0;
    // A file that cannot be written gives what it has; a key it lacks holds no value.
    if (const std::optional<HiveStatus> notFound = FindKeyOf(parts, !readOnly_, key))
        return *notFound;

    Statement read(db_, "SELECT type, data FROM hive_values WHERE key_id = ?1 AND name = ?2");
    read.Bind(1, key);
    read.Bind(2, name);
    const int step = read.Step();
    if (step != SQLITE_ROW && step != SQLITE_DONE) return Failed(step, HiveStatus::ValueFailed);
    StoredValue found;
    if (step == SQLITE_ROW) {
        found.type = static_cast<std::uint32_t>(read.Int(0));
        found.data = read.Blob(1);
    }
    // Without the commit the key made on the way would not exist, as if it could not be made.
    if (const int committed = transaction.Commit(); committed != SQLITE_OK)
        return Failed(committed, HiveStatus::KeyUnavailable);
    if (step == SQLITE_DONE) return HiveStatus::Missing;
    value = std::move(found);
    return HiveStatus::Done;
}

HiveStatus SqliteHive::WriteValue(std::string_view path, std::string_view name,
                                  const StoredValue& value) {
    std::vector<std::string_view> parts;
    if (!StartCall(path, parts)) return HiveStatus::KeyUnavailable;
    // SQLite takes lengths as int; anything near that is no setting.
    if (value.data.size() > kMaxValueBytes || name.size() > kMaxValueBytes) {
        cause_ = "a value or name of more than " + std::to_string(kMaxValueBytes) +
                 " bytes is no setting";
        return HiveStatus::ValueFailed;
    }
    if (readOnly_) return RefuseWrite();
    Transaction transaction(db_, true, InBatch());
    if (transaction.result() != SQLITE_OK)
        return Failed(transaction.result(), HiveStatus::KeyUnavailable);
    std::int64_t key = 0;
    int error = SQLITE_OK;
    if (FindKey(db_, parts, true, key, error) != Lookup::Found)
        return Failed(error, HiveStatus::KeyUnavailable);

    // The name keeps the case it was first written in, as the platform registry does.
    Statement write(db_,
                    "INSERT INTO hive_values (key_id, name, type, data) VALUES (?1, ?2, ?3, ?4) "
                    "ON CONFLICT (key_id, name) DO UPDATE SET type = excluded.type, "
                    "data = excluded.data");
    write.Bind(1, key);
    write.Bind(2, name);
    write.Bind(3, static_cast<std::int64_t>(value.type));
    write.BindBlob(4, value.data);
    if (const int step = write.Step(); step != SQLITE_DONE)
        return Failed(step, HiveStatus::ValueFailed);
    if (const int committed = transaction.Commit(); committed != SQLITE_OK)
        return Failed(committed, HiveStatus::ValueFailed);
    return HiveStatus::Done;
}

HiveStatus SqliteHive::RemoveKey(std::string_view path) {
    std::vector<std::string_view> parts;
    if (!StartCall(path, parts)) return HiveStatus::KeyUnavailable;
    if (readOnly_) return RefuseWrite();
    Transaction transaction(db_, true, InBatch());
    if (transaction.result() != SQLITE_OK)
        return Failed(transaction.result(), HiveStatus::KeyUnavailable);
    std::int64_t key = 0;
    if (const std::optional<HiveStatus> notFound = FindKeyOf(parts, false, key)) return *notFound;
    // Everything at or below the key, found by walking down. UNION visits each key once, so a
    // tree changed into a loop by another program still ends the walk; a walk that meets the
    // top marker has looped, and the hive is not touched.
    const std::string below =
        "WITH RECURSIVE below(id) AS (SELECT ?1 UNION SELECT hive_keys.id FROM hive_keys "
        "JOIN below ON hive_keys.parent = below.id) ";
    {
        Statement loops(db_, (below + "SELECT EXISTS (SELECT 1 FROM below WHERE id = 0)").c_str());
        loops.Bind(1, key);
        const int step = loops.Step();
        if (step != SQLITE_ROW) return Failed(step, HiveStatus::KeyUnavailable);
        if (loops.Int(0) != 0) return Failed(SQLITE_CORRUPT, HiveStatus::KeyUnavailable);
    }
    // Values first, then the keys.
    const std::string removals[] = {
        below + "DELETE FROM hive_values WHERE key_id IN below",
        below + "DELETE FROM hive_keys WHERE id IN below",
    };
    for (const std::string& remove : removals) {
        Statement statement(db_, remove.c_str());
        statement.Bind(1, key);
        if (const int step = statement.Step(); step != SQLITE_DONE)
            return Failed(step, HiveStatus::KeyUnavailable);
    }
    if (const int committed = transaction.Commit(); committed != SQLITE_OK)
        return Failed(committed, HiveStatus::KeyUnavailable);
    return HiveStatus::Done;
}

HiveStatus SqliteHive::BeginBatch() {
    cause_.clear();
    whole_ = false;
    if (batchDepth_++ > 0) return HiveStatus::Done;
    batchError_ = 0;
    if (!EnsureOpen()) return HiveStatus::KeyUnavailable;
    if (readOnly_) return RefuseWrite();
    if (const int begun = Execute(db_, "BEGIN IMMEDIATE"); begun != SQLITE_OK)
        return Failed(begun, HiveStatus::KeyUnavailable);
    batchOpen_ = true;
    return HiveStatus::Done;
}

HiveStatus SqliteHive::EndBatch() {
    cause_.clear();
    whole_ = false;
    if (batchDepth_ == 0 || --batchDepth_ > 0 || !batchOpen_) return HiveStatus::Done;
    const bool intact = InBatch();
    batchOpen_ = false;
    if (!intact)
        return Failed(batchError_ != 0 ? batchError_ : SQLITE_ABORT, HiveStatus::ValueFailed);
    if (const int committed = Execute(db_, "COMMIT"); committed != SQLITE_OK) {
        Execute(db_, "ROLLBACK");
        return Failed(committed, HiveStatus::ValueFailed);
    }
    return HiveStatus::Done;
}

HiveStatus SqliteHive::KeyExists(std::string_view path) {
    std::vector<std::string_view> parts;
    if (!StartCall(path, parts)) return HiveStatus::KeyUnavailable;
    Transaction transaction(db_, false, InBatch());
    if (transaction.result() != SQLITE_OK) return HiveStatus::KeyUnavailable;
    std::int64_t key = 0;
    int error = SQLITE_OK;
    switch (FindKey(db_, parts, false, key, error)) {
        case Lookup::Found:
            return HiveStatus::Done;
        case Lookup::Missing:
            return HiveStatus::Missing;
        case Lookup::Failed:
            break;
    }
    return Failed(error, HiveStatus::KeyUnavailable);
}

std::vector<std::string> SqliteHive::ValueNames(std::string_view path) {
    std::vector<std::string> names;
    std::vector<std::string_view> parts;
    if (!StartCall(path, parts)) return names;
    Transaction transaction(db_, false, InBatch());
    if (transaction.result() != SQLITE_OK) return names;
    std::int64_t key = 0;
    int error = SQLITE_OK;
    if (FindKey(db_, parts, false, key, error) != Lookup::Found) return names;
    Statement list(db_, "SELECT name FROM hive_values WHERE key_id = ?1 ORDER BY name");
    list.Bind(1, key);
    while (list.Step() == SQLITE_ROW)
        names.push_back(list.Text(0));
    return names;
}

}  // namespace ocuvis
