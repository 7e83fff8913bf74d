#include "core/config_file.h"

#include "platform/profile.h"

namespace cj::core {

std::string ConfigFile::ReadItem(std::string_view section, std::string_view key) const {
    if (key.empty()) {
        return {};
    }
    return platform::ReadProfileString(m_path, section, key);
}

bool ConfigFile::WriteItem(std::string_view section, std::string_view key,
                           std::string_view value) const {
    return platform::WriteProfileString(m_path, section, key, value);
}

bool ConfigFile::DeleteItem(std::string_view section, std::string_view key) const {
    return platform::DeleteProfileKey(m_path, section, key);
}

bool ConfigFile::DeleteSection(std::string_view section) const {
    return platform::DeleteProfileSection(m_path, section);
}

SectionItems ConfigFile::ReadSection(std::string_view section) const {
    SectionItems items;
    for (auto& item : platform::ReadProfileSection(m_path, section)) {
        items.keys.push_back(std::move(item.key));
        items.values.push_back(std::move(item.value));
    }
    return items;
}

}  // namespace cj::core
