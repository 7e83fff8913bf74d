// Fuzz target: the copy list's backup reader (copylist/list_backup.h) against
// a naive reading of the same bytes, in both code pages, and the backup file
// written and read back.
//
// Input: one flag byte (bit 0: GBK rather than UTF-8; bit 1: also go through
// a file in the scratch folder), then the backup file's bytes. Wrong answers
// crash through CJ_FUZZ_CHECK:
//   - pieces that differ from the naive split: UTF-8 splits at every
//     separator (no ASCII byte is inside a UTF-8 character), GBK steps two
//     bytes at every lead byte 0x81-0xFE;
//   - pieces that, joined with separators, do not give back the text up to
//     its first zero byte (less the separator a last piece may lack);
//   - a written list of paths that does not read back as the same paths;
//   - a file read that differs from splitting its bytes.
#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "copylist/list_backup.h"
#include "fuzz_support.h"

namespace {

using cj::copylist::BackupSeparator;
using cj::platform::CodePage;

std::vector<std::string> SplitNaively(std::string_view bytes, CodePage codePage) {
    std::string_view text = bytes;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\0') {
            text = bytes.substr(0, i);
            break;
        }
    }
    std::vector<std::string> pieces;
    std::string piece;
    std::size_t i = 0;
    while (i < text.size()) {
        if (i + 4 <= text.size() && text[i] == '*' && text[i + 1] == '#' && text[i + 2] == '*' &&
            text[i + 3] == '\\') {
            pieces.push_back(piece);
            piece.clear();
            i += 4;
            continue;
        }
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool lead = codePage == CodePage::Gbk && byte >= 0x81 && byte <= 0xFE;
        const std::size_t length = lead && i + 1 < text.size() ? 2 : 1;
        piece.append(text.substr(i, length));
        i += length;
    }
    if (!piece.empty()) {
        pieces.push_back(piece);
    }
    return pieces;
}

std::string Joined(const std::vector<std::string>& pieces) {
    std::string joined;
    for (const std::string& piece : pieces) {
        joined += piece;
        joined += BackupSeparator;
    }
    return joined;
}

std::vector<cj::copylist::CopyEntry> EntriesOf(const std::vector<std::string>& paths) {
    std::vector<cj::copylist::CopyEntry> entries;
    for (const std::string& path : paths) {
        entries.push_back({path, -1});
    }
    return entries;
}

void CheckSplit(std::string_view bytes, CodePage codePage) {
    const std::vector<std::string> pieces = cj::copylist::SplitBackup(bytes, codePage);
    CJ_FUZZ_CHECK(pieces == SplitNaively(bytes, codePage));

    const std::string_view text = bytes.substr(0, bytes.find('\0'));
    const std::string joined = Joined(pieces);
    CJ_FUZZ_CHECK(joined == text || joined == std::string(text) + std::string(BackupSeparator));
    CJ_FUZZ_CHECK(cj::copylist::BackupBytes(EntriesOf(pieces)) == joined);
}

// Paths as the program writes them: the input's NUL-separated fields, each
// without the separator (no UTF-8 path can hold it where it would split).
std::vector<std::string> PathsOf(std::string_view bytes) {
    std::vector<std::string> paths;
    cj::fuzz::InputReader fields(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    while (!fields.Rest().empty() && paths.size() < 64) {
        const std::string_view field = fields.Field(4096);
        if (field.find(BackupSeparator) == std::string_view::npos) {
            paths.emplace_back(field);
        }
    }
    return paths;
}

void WriteRaw(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    CJ_FUZZ_CHECK(out.good());
}

void CheckFile(std::string_view bytes) {
    const std::string path = cj::fuzz::ScratchDirectory() + "/Backup.txt";
    WriteRaw(path, bytes);
    std::vector<std::string> read = {"stale"};
    CJ_FUZZ_CHECK(!cj::copylist::TryReadBackupFile(path, read));
    CJ_FUZZ_CHECK(read == cj::copylist::SplitBackup(bytes, cj::platform::ActiveCodePage()));

    const std::vector<std::string> paths = PathsOf(bytes);
    CJ_FUZZ_CHECK(!cj::copylist::TryWriteBackupFile(path, EntriesOf(paths)));
    CJ_FUZZ_CHECK(!cj::copylist::TryReadBackupFile(path, read));
    // An empty last path is written as a lone separator and read back as
    // an empty piece: every path returns, in order.
    CJ_FUZZ_CHECK(read == paths);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    cj::fuzz::InputReader input(data, size);
    const std::uint8_t flags = input.Byte();
    const std::string_view bytes = input.Rest();
    CheckSplit(bytes, (flags & 1) != 0 ? CodePage::Gbk : CodePage::Utf8);
    // The paths written in UTF-8 read back whole.
    const std::vector<std::string> paths = PathsOf(bytes);
    CJ_FUZZ_CHECK(cj::copylist::SplitBackup(Joined(paths), CodePage::Utf8) == paths);
    if ((flags & 2) != 0) {
        CheckFile(bytes);
    }
    return 0;
}
