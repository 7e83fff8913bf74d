#include "core/settings_file.h"

#include <algorithm>
#include <array>
#include <limits>

#include "core/data_paths.h"
#include "core/text_rules.h"

namespace cj::core {
namespace {

// The file's names, here and nowhere else.
constexpr std::string_view ListFolders = "syml";
constexpr std::string_view ListCreated = "syml_p";
constexpr std::string_view ListFilter = "syml_a";
constexpr std::string_view ShardCounts = "syjs";
constexpr std::string_view Window = "ckzt";
constexpr std::string_view WindowOption = "zt";
constexpr std::string_view WindowWidth = "kd";
constexpr std::string_view WindowHeight = "gd";
constexpr std::string_view DoubleClick = "sjms";
constexpr std::string_view ThreadCount = "xcs";
constexpr std::string_view CopyTarget = "mbml";
constexpr std::string_view Matching = "ppms";
constexpr std::string_view SameName = "tmwj";
constexpr std::string_view Value = "ma";  // The one key of the one-value sections.

constexpr std::string_view CreatedMark = "1";

bool HoldsLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r';
}

int ReadDimension(const ConfigFile& config, std::string_view key) {
    const std::int64_t value = TextToInt(config.ReadItem(Window, key));
    return static_cast<int>(std::clamp<std::int64_t>(value, 0, std::numeric_limits<int>::max()));
}

// The value of the first item named key, as ReadItem would give it.
const std::string* FindValue(const SectionItems& items, std::string_view key) {
    for (std::size_t i = 0; i < items.keys.size(); ++i) {
        if (platform::IsSameProfileName(items.keys[i], key)) {
            return &items.values[i];
        }
    }
    return nullptr;
}

std::string Unquoted(std::string_view value) {
    return std::string(platform::UnquoteProfileValue(value));
}

}  // namespace

bool IsStorableListTitle(std::string_view title) {
    return !title.empty() && !IsBlank(title.front()) && !IsBlank(title.back()) &&
           title.front() != ';' && title.find_first_of("[]=") == std::string_view::npos &&
           !HoldsLineBreakOrNul(title);
}

bool AreStorableFolders(std::span<const std::string> folders) {
    // A folder holding "*/*", or ending in "*" or "*/" so that it runs into
    // the separator, would read back as other folders; a blank at the start
    // of the first would be trimmed away.
    const std::vector<std::string> list(folders.begin(), folders.end());
    const std::string value = JoinFolderList(list);
    return std::none_of(list.begin(), list.end(),
                        [](const std::string& folder) {
                            return folder.empty() || HoldsLineBreakOrNul(folder);
                        }) &&
           SplitFolderList(value) == list && (value.empty() || !IsBlank(value.front()));
}

std::optional<WindowSizeOption> WindowSizeOptionFromNumber(std::int64_t number) {
    if (number < 0 || number > 2) {
        return std::nullopt;
    }
    return static_cast<WindowSizeOption>(number);
}

std::optional<DoubleClickAction> DoubleClickActionFromNumber(std::int64_t number) {
    if (number < 0 || number > 2) {
        return std::nullopt;
    }
    return static_cast<DoubleClickAction>(number);
}

SettingsFile SettingsFile::InRunDirectory(std::string_view runDirectory) {
    return SettingsFile(ConfigPath(runDirectory));
}

Settings SettingsFile::ReadAll() const {
    Settings settings;
    settings.directoryLists = ReadDirectoryLists();
    settings.window = ReadWindowState();
    settings.doubleClick = ReadDoubleClickAction();
    settings.threadCount = ReadThreadCount();
    settings.copyTarget = ReadCopyTarget();
    settings.ignoreCaseAndWidth = ReadIgnoreCaseAndWidth();
    settings.sameName = ReadSameNameRule();
    return settings;
}

std::vector<DirectoryList> SettingsFile::ReadDirectoryLists() const {
    // Three section reads instead of three item reads per list: each read
    // parses the whole file.
    const SectionItems folders = m_config.ReadSection(ListFolders);
    const SectionItems created = m_config.ReadSection(ListCreated);
    const SectionItems filters = m_config.ReadSection(ListFilter);
    std::vector<DirectoryList> lists;
    for (std::size_t i = 0; i < folders.keys.size(); ++i) {
        const std::string& title = folders.keys[i];
        const bool seen = std::any_of(lists.begin(), lists.end(), [&](const DirectoryList& list) {
            return platform::IsSameProfileName(list.title, title);
        });
        if (title.empty() || seen) {
            continue;
        }
        DirectoryList list;
        list.title = title;
        list.folders = SplitFolderList(platform::UnquoteProfileValue(folders.values[i]));
        if (const std::string* filter = FindValue(filters, title)) {
            list.filter = Unquoted(*filter);
        }
        if (const std::string* mark = FindValue(created, title)) {
            list.created = TextToInt(platform::UnquoteProfileValue(*mark)) == 1;
        }
        lists.push_back(std::move(list));
    }
    return lists;
}

std::optional<DirectoryList> SettingsFile::ReadDirectoryList(std::string_view title) const {
    for (DirectoryList& list : ReadDirectoryLists()) {
        if (platform::IsSameProfileName(list.title, title)) {
            return std::move(list);
        }
    }
    return std::nullopt;
}

std::error_code SettingsFile::TrySaveDirectoryList(const DirectoryList& list) const {
    if (!IsStorableListTitle(list.title) || !AreStorableFolders(list.folders)) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    const std::string folders = JoinFolderList(list.folders);
    using Text = std::optional<std::string_view>;
    const std::array<platform::ProfileEdit, 3> edits = {{
        {ListFolders, list.title, folders},
        {ListCreated, list.title, list.created ? Text(CreatedMark) : std::nullopt},
        {ListFilter, list.title, list.filter.empty() ? std::nullopt : Text(list.filter)},
    }};
    return m_config.TryEdit(edits);
}

std::error_code SettingsFile::TryDeleteDirectoryList(std::string_view title) const {
    const std::array<platform::ProfileEdit, 3> edits = {{
        {ListFolders, title, std::nullopt},
        {ListCreated, title, std::nullopt},
        {ListFilter, title, std::nullopt},
    }};
    return m_config.TryEdit(edits);
}

std::error_code SettingsFile::TryCreateDirectoryList(std::string_view title) const {
    if (!IsStorableListTitle(title)) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    const std::array<platform::ProfileEdit, 2> edits = {{
        {ListFolders, title, std::string_view()},
        {ListCreated, title, CreatedMark},
    }};
    return m_config.TryEdit(edits);
}

std::error_code SettingsFile::TrySaveListFolders(std::string_view title,
                                                 std::span<const std::string> folders) const {
    if (!IsStorableListTitle(title) || !AreStorableFolders(folders)) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    return m_config.TryWriteItem(ListFolders, title,
                                 JoinFolderList({folders.begin(), folders.end()}));
}

std::error_code SettingsFile::TrySaveListFilter(std::string_view title,
                                                std::string_view filter) const {
    if (!IsStorableListTitle(title)) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    return filter.empty() ? m_config.TryDeleteItem(ListFilter, title)
                          : m_config.TryWriteItem(ListFilter, title, filter);
}

WindowState SettingsFile::ReadWindowState() const {
    WindowState state;
    state.option = WindowSizeOptionFromNumber(TextToInt(m_config.ReadItem(Window, WindowOption)));
    if (state.option == WindowSizeOption::Remembered) {
        state.width = ReadDimension(m_config, WindowWidth);
        state.height = ReadDimension(m_config, WindowHeight);
    }
    return state;
}

std::optional<DoubleClickAction> SettingsFile::ReadDoubleClickAction() const {
    return DoubleClickActionFromNumber(TextToInt(m_config.ReadItem(DoubleClick, Value)));
}

ThreadCountSetting SettingsFile::ReadThreadCount() const {
    ThreadCountSetting setting;
    setting.text = m_config.ReadItem(ThreadCount, Value);
    setting.count = ThreadCountFromText(setting.text);
    return setting;
}

std::string SettingsFile::ReadCopyTarget() const {
    return m_config.ReadItem(CopyTarget, Value);
}

bool SettingsFile::ReadIgnoreCaseAndWidth() const {
    return TextToInt(m_config.ReadItem(Matching, Value)) == 1;
}

SameNameRule SettingsFile::ReadSameNameRule() const {
    return TextToInt(m_config.ReadItem(SameName, Value)) == 1 ? SameNameRule::KeepBoth
                                                              : SameNameRule::Skip;
}

std::error_code SettingsFile::TrySaveWindowState(const WindowState& state) const {
    if (!state.option) {
        return {};
    }
    const std::string option = std::to_string(static_cast<int>(*state.option));
    if (*state.option != WindowSizeOption::Remembered) {
        return m_config.TryWriteItem(Window, WindowOption, option);
    }
    const std::string width = std::to_string(state.width);
    const std::string height = std::to_string(state.height);
    const std::array<platform::ProfileEdit, 3> edits = {{
        {Window, WindowOption, option},
        {Window, WindowWidth, width},
        {Window, WindowHeight, height},
    }};
    return m_config.TryEdit(edits);
}

std::error_code SettingsFile::TrySaveDoubleClickAction(DoubleClickAction action) const {
    return m_config.TryWriteItem(DoubleClick, Value, std::to_string(static_cast<int>(action)));
}

std::error_code SettingsFile::TrySaveThreadCount(std::string_view text) const {
    return m_config.TryWriteItem(ThreadCount, Value, text);
}

std::error_code SettingsFile::TrySaveCopyTarget(std::string_view folder) const {
    return m_config.TryWriteItem(CopyTarget, Value, folder);
}

std::error_code SettingsFile::TrySaveIgnoreCaseAndWidth(bool ignore) const {
    return m_config.TryWriteItem(Matching, Value, ignore ? "1" : "0");
}

std::error_code SettingsFile::TrySaveSameNameRule(SameNameRule rule) const {
    return m_config.TryWriteItem(SameName, Value, rule == SameNameRule::KeepBoth ? "1" : "0");
}

std::error_code SettingsFile::TrySaveShutdownSettings(const ShutdownSettings& s) const {
    std::error_code first;
    const auto keep = [&first](std::error_code ec) {
        if (ec && !first) {
            first = ec;
        }
    };
    keep(TrySaveWindowState(s.window));
    if (s.doubleClick) {
        keep(TrySaveDoubleClickAction(*s.doubleClick));
    }
    if (s.copyTarget) {
        keep(TrySaveCopyTarget(*s.copyTarget));
    }
    return first;
}

std::uint64_t SettingsFile::ReadShardCount(int n) const {
    const std::int64_t count = TextToInt(m_config.ReadItem(ShardCounts, std::to_string(n)));
    return count > 0 ? static_cast<std::uint64_t>(count) : 0;
}

std::vector<std::uint64_t> SettingsFile::ReadShardCounts(int shardCount) const {
    const SectionItems items = m_config.ReadSection(ShardCounts);
    std::vector<std::uint64_t> counts;
    for (int n = 1; n <= shardCount; ++n) {
        const std::string* value = FindValue(items, std::to_string(n));
        const std::int64_t count =
            value != nullptr ? TextToInt(platform::UnquoteProfileValue(*value)) : 0;
        counts.push_back(count > 0 ? static_cast<std::uint64_t>(count) : 0);
    }
    return counts;
}

bool SettingsFile::HoldsShardCounts() const {
    return !m_config.ReadSection(ShardCounts).keys.empty();
}

std::error_code SettingsFile::TryWriteIndexCounts(std::span<const std::uint64_t> counts,
                                                  std::optional<int> threadCount) const {
    // The edits hold views, so their texts live here.
    std::vector<std::string> keys;
    std::vector<std::string> values;
    for (std::size_t n = 1; n <= counts.size(); ++n) {
        keys.push_back(std::to_string(n));
        values.push_back(std::to_string(counts[n - 1]));
    }
    std::vector<std::string> stale;
    for (std::string& key : m_config.ReadSection(ShardCounts).keys) {
        const bool kept = std::any_of(keys.begin(), keys.end(), [&](const std::string& k) {
            return platform::IsSameProfileName(k, key);
        });
        if (!kept && !key.empty()) {
            stale.push_back(std::move(key));
        }
    }
    const std::string threads = threadCount ? std::to_string(*threadCount) : std::string();
    std::vector<platform::ProfileEdit> edits;
    edits.reserve(stale.size() + keys.size());
    for (const std::string& key : stale) {
        edits.push_back({ShardCounts, key, std::nullopt});
    }
    for (std::size_t i = 0; i < keys.size(); ++i) {
        edits.push_back({ShardCounts, keys[i], values[i]});
    }
    if (threadCount) {
        edits.push_back({ThreadCount, Value, threads});
    }
    return m_config.TryEdit(edits);
}

}  // namespace cj::core
