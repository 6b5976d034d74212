#pragma once

#include <string>

#include "core/FloatValueStore.h"
#include "settings/OrlenRegistry.h"

namespace ocuvis {

// The scale memory's values, kept as float values of the settings store under one key (the
// program's own, "Ocuvis").
class RegistryFloatStore final : public FloatValueStore {
  public:
    RegistryFloatStore(OrlenRegistry& store, std::string key = kAppKeyName);

    bool ReadFloat(std::string_view name, double& value) override;
    void WriteFloat(std::string_view name, double value) override;

  private:
    OrlenRegistry& store_;
    std::string key_;
};

}  // namespace ocuvis
