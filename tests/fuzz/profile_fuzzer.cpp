// Fuzz target: the configuration file's readers and writer on a file that
// holds the input.
//
// Input: one byte that picks the item to write and delete and its value, then
// the file's bytes. Every reader of the typed settings module and of the profile service
// runs over the file; memory errors and undefined behaviour are the
// sanitizers' to find. Wrong answers crash through CJ_FUZZ_CHECK:
//   - a thread count outside 1..MaxThreadCount, a negative window size, a
//     directory list with an empty or repeated title;
//   - a written value that does not read back, or a write or delete that
//     changes another item, whatever the file held before.
#include <array>
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>

#include "core/settings_file.h"
#include "core/text_rules.h"
#include "fuzz_support.h"
#include "platform/profile.h"

namespace {

struct Item {
    std::string_view section;
    std::string_view key;
};

// Items of the program's own sections and a few others; no two share a
// section and key name (case-insensitively), so that changing one must leave
// every other as it was.
constexpr std::array<Item, 8> Items{{
    {"syjs", "1"},
    {"syjs", "12"},
    {"xcs", "ma"},
    {"syml", "photos"},
    {"ckzt", "kd"},
    {"SYJS", "3"},
    {"new section", "key"},
    {"a", "b c"},
}};

// Values that read back as written: no blanks at the ends, no quotes around.
constexpr std::array<std::string_view, 4> Values{{"7", "/srv/a*/*/srv/b*/*", "中文 值", "x=y"}};

void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    CJ_FUZZ_CHECK(out.good());
}

// The item written and deleted, and three others that must not change. Each
// read parses the whole file again, so the others are a sample: the fuzzer
// varies which.
struct Watched {
    std::array<std::size_t, 4> items;
};

Watched PickItems(std::uint8_t choice) {
    const std::size_t target = choice % Items.size();
    return {{target, (target + 1) % Items.size(), (target + 3) % Items.size(),
             (target + 4 + choice / 64U) % Items.size()}};
}

std::array<std::string, 4> ReadItems(const std::string& path, const Watched& watched) {
    std::array<std::string, 4> values;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const Item& item = Items[watched.items[i]];
        values[i] = cj::platform::ReadProfileString(path, item.section, item.key);
    }
    return values;
}

void CheckTypedReads(const std::string& path) {
    const cj::core::SettingsFile settings(path);
    const cj::core::Settings all = settings.ReadAll();
    CJ_FUZZ_CHECK(all.threadCount.count >= 1 && all.threadCount.count <= cj::core::MaxThreadCount);
    CJ_FUZZ_CHECK(all.window.width >= 0 && all.window.height >= 0);
    // Each list looked up by title costs three more reads of the file: the
    // first three lists are enough to catch a lookup that finds another list.
    for (std::size_t i = 0; i < all.directoryLists.size() && i < 3; ++i) {
        const std::string& title = all.directoryLists[i].title;
        CJ_FUZZ_CHECK(!title.empty());
        for (std::size_t j = 0; j < i; ++j) {
            CJ_FUZZ_CHECK(!cj::platform::IsSameProfileName(all.directoryLists[j].title, title));
        }
        // The first list of a title is the one a lookup by title finds.
        const auto found = settings.ReadDirectoryList(title);
        CJ_FUZZ_CHECK(found && found->folders == all.directoryLists[i].folders);
    }
    for (const int n : {1, 2, cj::core::MaxThreadCount, cj::core::MaxThreadCount + 1}) {
        static_cast<void>(settings.ReadShardCount(n));
    }
    static_cast<void>(cj::platform::ReadProfileSection(path, "syjs"));
    static_cast<void>(cj::platform::ReadProfileSection(path, ""));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    cj::fuzz::InputReader input(data, size);
    const std::uint8_t choice = input.Byte();
    const std::string path = cj::fuzz::ScratchDirectory() + "/chengjing.ini";
    WriteFile(path, input.Rest());

    CheckTypedReads(path);

    const Watched watched = PickItems(choice);
    const Item& target = Items[watched.items[0]];
    const std::string_view value = Values[(choice / Items.size()) % Values.size()];
    const auto before = ReadItems(path, watched);
    if (!cj::platform::TryWriteProfileString(path, target.section, target.key, value)) {
        const auto after = ReadItems(path, watched);
        CJ_FUZZ_CHECK(after[0] == value);
        for (std::size_t i = 1; i < after.size(); ++i) {
            CJ_FUZZ_CHECK(after[i] == before[i]);
        }
        if (!cj::platform::TryDeleteProfileKey(path, target.section, target.key)) {
            const auto deleted = ReadItems(path, watched);
            CJ_FUZZ_CHECK(deleted[0].empty());
            for (std::size_t i = 1; i < deleted.size(); ++i) {
                CJ_FUZZ_CHECK(deleted[i] == before[i]);
            }
        }
    }
    return 0;
}
