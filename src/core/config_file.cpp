#include "core/config_file.h"

#include "platform/profile.h"

namespace cj::core {

std::string ConfigFile::ReadItem(std::string_view section, std::string_view key) const {
    if (key.empty()) {
        return {};
    }
    return platform::ReadProfileString(m_path, section, key);
}

std::error_code ConfigFile::TryWriteItem(std::string_view section, std::string_view key,
                                         std::string_view value) const {
    return platform::TryWriteProfileString(m_path, section, key, value);
}

std::error_code ConfigFile::TryDeleteItem(std::string_view section, std::string_view key) const {
    return platform::TryDeleteProfileKey(m_path, section, key);
}

std::error_code ConfigFile::TryDeleteSection(std::string_view section) const {
    return platform::TryDeleteProfileSection(m_path, section);
}

std::error_code ConfigFile::TryEdit(std::span<const platform::ProfileEdit> edits) const {
    return platform::TryEditProfile(m_path, edits);
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
