#pragma once

#include <map>
#include <string>
#include <string_view>

namespace ocuvis {

// Named 64-bit float values under the program's own settings key. The scale memory keeps its
// values here; the settings store provides the persistent implementation.
class FloatValueStore {
  public:
    virtual ~FloatValueStore() = default;
    // False, with value untouched, when the value is missing or unreadable.
    virtual bool ReadFloat(std::string_view name, double& value) = 0;
    virtual void WriteFloat(std::string_view name, double value) = 0;
};

// Keeps the values for the life of the process only.
class MemoryFloatStore final : public FloatValueStore {
  public:
    bool ReadFloat(std::string_view name, double& value) override {
        const auto it = values_.find(std::string(name));
        if (it == values_.end()) return false;
        value = it->second;
        return true;
    }
    void WriteFloat(std::string_view name, double value) override {
        values_[std::string(name)] = value;
    }
    std::size_t size() const { return values_.size(); }

  private:
    std::map<std::string, double> values_;
};

}  // namespace ocuvis
