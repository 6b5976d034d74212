#include "settings/RegistryFloatStore.h"

namespace ocuvis {

RegistryFloatStore::RegistryFloatStore(OrlenRegistry& store, std::string key)
    : store_(store), key_(std::move(key)) {}

bool RegistryFloatStore::ReadFloat(std::string_view name, double& value) {
    return store_.ReadFloat(key_, name, value);
}

void RegistryFloatStore::WriteFloat(std::string_view name, double value) {
    store_.WriteFloat(key_, name, value);
}

}  // namespace ocuvis
