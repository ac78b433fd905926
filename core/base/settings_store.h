#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kresograf {

// Integer values by section and name; a missing value reads as the given default.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    virtual uint32_t ReadInt(std::string_view section, std::string_view name,
                             uint32_t defaultValue) = 0;
    virtual void WriteInt(std::string_view section, std::string_view name, uint32_t value) = 0;
};

// A store in memory, for the command-line program and the tests. It remembers the order of
// reads and writes as "Section/Name".
class MemorySettingsStore : public SettingsStore {
  public:
    uint32_t ReadInt(std::string_view section, std::string_view name,
                     uint32_t defaultValue) override;
    void WriteInt(std::string_view section, std::string_view name, uint32_t value) override;

    std::map<std::pair<std::string, std::string>, uint32_t> Values;
    std::vector<std::string> Reads;
    std::vector<std::string> Writes;
};

}  // namespace kresograf
