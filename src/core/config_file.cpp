#include "core/config_file.h"

#include "core/data_lock.h"
#include "platform/files.h"
#include "platform/path_text.h"
#include "platform/profile.h"

namespace cj::core {

std::error_code ConfigFile::TryLockForWrite(platform::FileLock& lock) const {
    const std::size_t slash = platform::FindLastSeparator(m_path);
    const std::string folder = slash == std::string::npos ? std::string(".")
                               : slash == 0               ? m_path.substr(0, 1)
                                                          : m_path.substr(0, slash);
    return TryLockData(folder, DataLock::Config, platform::LockMode::Exclusive,
                       platform::LockWait::Yes, lock);
}

std::string ConfigFile::ReadItem(std::string_view section, std::string_view key) const {
    if (key.empty()) {
        return {};
    }
    return platform::ReadProfileString(m_path, section, key);
}

std::error_code ConfigFile::TryWriteItem(std::string_view section, std::string_view key,
                                         std::string_view value) const {
    platform::FileLock lock;
    if (const std::error_code ec = TryLockForWrite(lock); ec) {
        return ec;
    }
    return platform::TryWriteProfileString(m_path, section, key, value);
}

std::error_code ConfigFile::TryDeleteItem(std::string_view section, std::string_view key) const {
    platform::FileLock lock;
    if (const std::error_code ec = TryLockForWrite(lock); ec) {
        return ec;
    }
    return platform::TryDeleteProfileKey(m_path, section, key);
}

std::error_code ConfigFile::TryEdit(std::span<const platform::ProfileEdit> edits) const {
    platform::FileLock lock;
    if (const std::error_code ec = TryLockForWrite(lock); ec) {
        return ec;
    }
    return platform::TryEditProfile(m_path, edits);
}

std::error_code ConfigFile::TryRemoveWriteLeftovers() const {
    platform::FileLock lock;
    if (const std::error_code ec = TryLockForWrite(lock); ec) {
        return ec;
    }
    return platform::RemoveAtomicWriteLeftovers(m_path);
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
