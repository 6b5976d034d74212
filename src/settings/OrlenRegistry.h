#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/UserFeedback.h"
#include "core/WindowBounds.h"
#include "settings/RegistryHive.h"

namespace ocuvis {

// The program's own key under the root; every settings call of the program builds on it.
inline const std::string kAppKeyName = "Ocuvis";

// Typed reads and writes of named values under "Software\Tolvane\" + a key path. Each operation
// opens (and if need be creates) its key, does one thing and closes it again; the store keeps no
// state, so any number of them may exist at once. Failures are shown as messages and never stop
// the caller: a failed read leaves the target as it was and returns false, a failed write writes
// nothing. A missing value is not a failure and is never reported. Each kind of failure is
// shown once per hive with its cause (a fault of the hive counts once, whichever value met it)
// and written once to standard error, so a hive that cannot be used does not bury the user in
// messages.
class OrlenRegistry {
  public:
    OrlenRegistry(RegistryHive& hive, UserFeedback& messages);

    // Everything written through any store on the same hive while a batch lives is kept
    // together when it ends, or, if the program dies before then, not at all.
    class Batch {
      public:
        explicit Batch(OrlenRegistry& store);
        ~Batch();
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

      private:
        OrlenRegistry& store_;
    };

    void WriteBool(std::string_view key, std::string_view name, bool value);
    void WriteInteger(std::string_view key, std::string_view name, std::int32_t value);
    void WriteFloat(std::string_view key, std::string_view name, double value);
    void WriteString(std::string_view key, std::string_view name, std::string_view value);

    bool ReadBool(std::string_view key, std::string_view name, bool& value);
    bool ReadInteger(std::string_view key, std::string_view name, std::int32_t& value);
    bool ReadFloat(std::string_view key, std::string_view name, double& value);
    bool ReadString(std::string_view key, std::string_view name, std::string& value);

    // Removes the key with everything below it; announce shows a notice when it went.
    bool RemoveKey(std::string_view key, bool announce);

    // "Window Height", "Window Width", "Window Position Top", "Window Position Left".
    bool RestoreFormBounds(std::string_view key, WindowBounds& window);
    bool RestoreFormSize(std::string_view key, WindowBounds& window);
    bool RestoreFormPosition(std::string_view key, WindowBounds& window);
    void SaveFormBounds(std::string_view key, const WindowBounds& window);
    void SaveFormSize(std::string_view key, const WindowBounds& window);
    void SaveFormPosition(std::string_view key, const WindowBounds& window);

    // Joined to the caller's key path as it is, with no separator added or removed.
    const std::string rootKey = "Software\\Tolvane\\";

  private:
    enum class Kind { Bool, Integer, Float, String };
    // The kinds of failure that are each shown once per hive.
    enum class Failure { ReadKey, WriteKey, ReadValue, WriteValue, RemoveKey, KeepBatch };

    void Write(std::string_view key, std::string_view name, Kind kind, const StoredValue& value);
    // The stored value when found and readable; reports the failures.
    bool Read(std::string_view key, std::string_view name, StoredValue& value);
    // The read message for a value that is there but cannot be taken; always false.
    bool ReadFailed(std::string_view name, const std::string& cause = {});
    // The read message for a value stored as another kind, saying what it holds.
    bool WrongKind(std::string_view name, const StoredValue& stored, std::string_view wanted);
    // Shows the failure, with its cause, once per hive and kind (see the .cpp).
    void Warn(Failure failure, std::string text, const std::string& title,
              const std::string& valueCause = {});

    RegistryHive& hive_;
    UserFeedback& messages_;
};

}  // namespace ocuvis
