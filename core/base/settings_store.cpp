#include "base/settings_store.h"

namespace kresograf {

uint32_t MemorySettingsStore::ReadInt(std::string_view section, std::string_view name,
                                      uint32_t defaultValue) {
    Reads.push_back(std::string(section) + "/" + std::string(name));
    auto it = Values.find({std::string(section), std::string(name)});
    return it == Values.end() ? defaultValue : it->second;
}

void MemorySettingsStore::WriteInt(std::string_view section, std::string_view name,
                                   uint32_t value) {
    Writes.push_back(std::string(section) + "/" + std::string(name));
    Values[{std::string(section), std::string(name)}] = value;
}

}  // namespace kresograf
