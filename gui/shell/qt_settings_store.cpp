#include "gui/shell/qt_settings_store.h"

namespace kresograf {
namespace {

QString Key(std::string_view section, std::string_view name) {
    return QString::fromUtf8(section.data(), static_cast<qsizetype>(section.size())) + '/' +
           QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

uint32_t QtSettingsStore::ReadInt(std::string_view section, std::string_view name,
                                  uint32_t defaultValue) {
    const QVariant value = settings_.value(Key(section, name));
    bool ok = false;
    // Values are written unsigned, but a hand-edited negative one still reads as its bit pattern.
    const qlonglong read = value.toLongLong(&ok);
    return ok ? static_cast<uint32_t>(read) : defaultValue;
}

void QtSettingsStore::WriteInt(std::string_view section, std::string_view name, uint32_t value) {
    settings_.setValue(Key(section, name), static_cast<qulonglong>(value));
}

}  // namespace kresograf
