#pragma once

#include <QSettings>

#include "base/settings_store.h"

namespace kresograf {

// The settings record's integers in QSettings: section "App" or "Device", then the value name.
// The program passes QSettings("ZEFRA", "Kresograf"); tests pass one bound to a scratch file.
class QtSettingsStore : public SettingsStore {
  public:
    explicit QtSettingsStore(QSettings& settings) : settings_(settings) {}

    uint32_t ReadInt(std::string_view section, std::string_view name,
                     uint32_t defaultValue) override;
    void WriteInt(std::string_view section, std::string_view name, uint32_t value) override;

  private:
    QSettings& settings_;
};

}  // namespace kresograf
