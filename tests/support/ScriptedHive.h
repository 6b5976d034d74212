#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "settings/RegistryHive.h"

namespace ocuvis::test {

// Passes every call to a real hive, records the names written in order, and fails the calls it
// is told to fail.
class ScriptedHive final : public RegistryHive {
  public:
    explicit ScriptedHive(RegistryHive& inner) : inner_(inner) {}

    HiveStatus ReadValue(std::string_view path, std::string_view name,
                         StoredValue& value) override {
        if (failingValues.contains(std::string(name))) return HiveStatus::ValueFailed;
        return inner_.ReadValue(path, name, value);
    }
    HiveStatus WriteValue(std::string_view path, std::string_view name,
                          const StoredValue& value) override {
        if (failingValues.contains(std::string(name))) return HiveStatus::ValueFailed;
        if (beforeWrite) beforeWrite(std::string(name));
        writes.emplace_back(name);
        return inner_.WriteValue(path, name, value);
    }
    HiveStatus RemoveKey(std::string_view path) override { return inner_.RemoveKey(path); }
    HiveStatus BeginBatch() override { return inner_.BeginBatch(); }
    HiveStatus EndBatch() override { return inner_.EndBatch(); }
    std::string FailureCause() const override { return inner_.FailureCause(); }

    std::set<std::string> failingValues;  // reads and writes of these names fail
    std::vector<std::string> writes;
    std::function<void(const std::string& name)> beforeWrite;

  private:
    RegistryHive& inner_;
};

}  // namespace ocuvis::test
