#include "platform/profile.h"

#include <cerrno>
#include <mutex>
#include <optional>

#include "platform/files.h"

namespace cj::platform {
namespace {

// One mutex for every profile file of the process: the file is small and the
// writes are rare, so serialising them all costs nothing and keeps every
// read-modify-write whole.
std::mutex& ProfileMutex() {
    static std::mutex mutex;
    return mutex;
}

constexpr std::string_view Blanks = " \t\v\f\r";
constexpr std::string_view Bom = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(Blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(Blanks);
    return text.substr(first, last - first + 1);
}

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool HasLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

enum class LineKind { Blank, Comment, Section, Item };

struct Line {
    std::string text;    // Without its line end.
    std::string ending;  // "\r\n", "\n", or "" for a last line without one.
    LineKind kind = LineKind::Blank;
    std::string name;   // Section name or item key, trimmed.
    std::string value;  // Item value, trimmed.
};

// The file as lines, so that a rewrite reproduces every line it does not
// change byte for byte.
class Document {
  public:
    static Document Parse(std::string_view bytes);
    std::string Serialize() const;

    // Index range [begin, end) of the lines of each section named name: the
    // header at begin, then its lines up to the next header.
    struct Range {
        std::size_t begin;
        std::size_t end;
    };
    std::vector<Range> Sections(std::string_view name) const;
    std::optional<std::size_t> FindItem(const Range& section, std::string_view key) const;

    void SetItem(std::size_t index, std::string_view value);
    void InsertItem(const Range& section, std::string_view key, std::string_view value);
    void AppendSection(std::string_view section, std::string_view key, std::string_view value);
    void Erase(std::size_t begin, std::size_t end);

    const Line& At(std::size_t index) const { return m_lines[index]; }

  private:
    void Insert(std::size_t index, std::string text);
    static void Classify(Line& line);

    bool m_bom = false;
    std::vector<Line> m_lines;
};

void Document::Classify(Line& line) {
    const std::string_view text = Trim(line.text);
    line.name.clear();
    line.value.clear();
    if (text.empty()) {
        line.kind = LineKind::Blank;
    } else if (text.front() == ';') {
        line.kind = LineKind::Comment;
    } else if (text.front() == '[') {
        line.kind = LineKind::Section;
        const std::size_t close = text.find(']');
        line.name = Trim(text.substr(1, close == std::string_view::npos ? text.npos : close - 1));
    } else {
        line.kind = LineKind::Item;
        const std::size_t equals = text.find('=');
        line.name = Trim(text.substr(0, equals));
        if (equals != std::string_view::npos) {
            line.value = Trim(text.substr(equals + 1));
        }
    }
}

Document Document::Parse(std::string_view bytes) {
    Document doc;
    std::string_view rest = bytes;
    if (rest.starts_with(Bom)) {
        doc.m_bom = true;
        rest.remove_prefix(Bom.size());
    }
    while (!rest.empty()) {
        const std::size_t lf = rest.find('\n');
        std::string_view text = rest.substr(0, lf);
        std::string_view ending;
        if (lf == std::string_view::npos) {
            rest = {};
        } else {
            rest.remove_prefix(lf + 1);
            ending = "\n";
            if (text.ends_with('\r')) {
                text.remove_suffix(1);
                ending = "\r\n";
            }
        }
        // Assigned once from a view: GCC 12 at -O3 mistakes a short literal
        // assigned twice for a read of uninitialised bytes.
        Line line;
        line.ending = std::string(ending);
        line.text = std::string(text);
        Classify(line);
        doc.m_lines.push_back(std::move(line));
    }
    return doc;
}

std::string Document::Serialize() const {
    std::string out;
    if (m_bom) {
        out += Bom;
    }
    for (const Line& line : m_lines) {
        out += line.text;
        out += line.ending;
    }
    return out;
}

std::vector<Document::Range> Document::Sections(std::string_view name) const {
    std::vector<Range> found;
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind != LineKind::Section || !IsSameProfileName(m_lines[i].name, name)) {
            continue;
        }
        std::size_t end = i + 1;
        while (end < m_lines.size() && m_lines[end].kind != LineKind::Section) {
            ++end;
        }
        found.push_back({i, end});
        i = end - 1;
    }
    return found;
}

std::optional<std::size_t> Document::FindItem(const Range& section, std::string_view key) const {
    for (std::size_t i = section.begin + 1; i < section.end; ++i) {
        if (m_lines[i].kind == LineKind::Item && IsSameProfileName(m_lines[i].name, key)) {
            return i;
        }
    }
    return std::nullopt;
}

void Document::SetItem(std::size_t index, std::string_view value) {
    Line& line = m_lines[index];
    // Keep the key as the file spells it; only the value changes.
    line.text = line.name + "=" + std::string(value);
    Classify(line);
}

void Document::Insert(std::size_t index, std::string text) {
    if (index > 0 && m_lines[index - 1].ending.empty()) {
        m_lines[index - 1].ending = "\r\n";
    }
    Line line;
    line.text = std::move(text);
    line.ending = "\r\n";
    Classify(line);
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
}

void Document::InsertItem(const Range& section, std::string_view key, std::string_view value) {
    // After the section's last item (or its header), so that comments and
    // blank lines that lead into the next section stay where they are.
    std::size_t at = section.begin + 1;
    for (std::size_t i = section.begin + 1; i < section.end; ++i) {
        if (m_lines[i].kind == LineKind::Item) {
            at = i + 1;
        }
    }
    Insert(at, std::string(key) + "=" + std::string(value));
}

void Document::AppendSection(std::string_view section, std::string_view key,
                             std::string_view value) {
    if (!m_lines.empty() && m_lines.back().kind != LineKind::Blank) {
        Insert(m_lines.size(), "");
    }
    Insert(m_lines.size(), "[" + std::string(section) + "]");
    Insert(m_lines.size(), std::string(key) + "=" + std::string(value));
}

void Document::Erase(std::size_t begin, std::size_t end) {
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(begin),
                  m_lines.begin() + static_cast<std::ptrdiff_t>(end));
}

// Loads the file for a rewrite. A missing file is an empty document; any other
// read failure refuses the write, so that a file we cannot read is never
// replaced by one that lacks its content.
std::error_code TryLoadForWrite(const std::string& path, Document& doc, std::string& before) {
    std::string bytes;
    if (const std::error_code ec = ReadWholeFile(path, bytes);
        ec && ec != std::errc::no_such_file_or_directory) {
        return ec;
    }
    doc = Document::Parse(bytes);
    before = doc.Serialize();
    return {};
}

std::error_code TryStore(const std::string& path, const Document& doc, const std::string& before) {
    const std::string after = doc.Serialize();
    if (after == before) {
        return {};
    }
    return WriteWholeFileAtomic(path, after);
}

bool IsStorableSection(std::string_view section) {
    return !section.empty() && !HasLineBreakOrNul(section) &&
           section.find(']') == std::string_view::npos;
}

bool IsStorableKey(std::string_view key) {
    return !key.empty() && !HasLineBreakOrNul(key) && key.find('=') == std::string_view::npos &&
           key.front() != '[' && key.front() != ';';
}

bool IsStorable(const ProfileEdit& edit) {
    if (!edit.value) {
        // Removing what could never have been written finds nothing to remove.
        return true;
    }
    return IsStorableSection(Trim(edit.section)) && IsStorableKey(Trim(edit.key)) &&
           !HasLineBreakOrNul(*edit.value);
}

void SetItem(Document& doc, std::string_view section, std::string_view key,
             std::string_view value) {
    const auto sections = doc.Sections(section);
    if (sections.empty()) {
        doc.AppendSection(section, key, value);
    } else if (const auto item = doc.FindItem(sections.front(), key)) {
        doc.SetItem(*item, value);
    } else {
        doc.InsertItem(sections.front(), key, value);
    }
}

void DeleteItem(Document& doc, std::string_view section, std::string_view key) {
    // Every copy goes, so that a duplicate further down cannot surface as the
    // value after the delete. Walk backwards to keep earlier indices valid.
    auto sections = doc.Sections(section);
    for (auto range = sections.rbegin(); range != sections.rend(); ++range) {
        for (std::size_t i = range->end; i > range->begin + 1; --i) {
            const Line& line = doc.At(i - 1);
            if (line.kind == LineKind::Item && IsSameProfileName(line.name, key)) {
                doc.Erase(i - 1, i);
            }
        }
    }
}

// Reads the whole file under the profile lock.
std::error_code ReadLocked(const std::string& path, std::string& bytes) {
    std::lock_guard lock(ProfileMutex());
    return ReadWholeFile(path, bytes);
}

}  // namespace

bool IsSameProfileName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

std::string_view UnquoteProfileValue(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::string ReadProfileString(const std::string& path, std::string_view section,
                              std::string_view key) {
    section = Trim(section);
    key = Trim(key);
    if (key.empty()) {
        return {};
    }
    std::string bytes;
    if (const std::error_code ec = ReadLocked(path, bytes); ec) {
        return {};
    }
    const Document doc = Document::Parse(bytes);
    const auto sections = doc.Sections(section);
    if (sections.empty()) {
        return {};
    }
    const auto item = doc.FindItem(sections.front(), key);
    if (!item) {
        return {};
    }
    return std::string(UnquoteProfileValue(doc.At(*item).value));
}

std::error_code TryEditProfile(const std::string& path, std::span<const ProfileEdit> edits) {
    for (const ProfileEdit& edit : edits) {
        if (!IsStorable(edit)) {
            return std::make_error_code(std::errc::invalid_argument);
        }
    }
    std::lock_guard lock(ProfileMutex());
    Document doc;
    std::string before;
    if (const std::error_code ec = TryLoadForWrite(path, doc, before); ec) {
        return ec;
    }
    for (const ProfileEdit& edit : edits) {
        if (edit.value) {
            SetItem(doc, Trim(edit.section), Trim(edit.key), *edit.value);
        } else {
            DeleteItem(doc, Trim(edit.section), Trim(edit.key));
        }
    }
    return TryStore(path, doc, before);
}

std::error_code TryWriteProfileString(const std::string& path, std::string_view section,
                                      std::string_view key, std::string_view value) {
    const ProfileEdit edit{section, key, value};
    return TryEditProfile(path, std::span(&edit, 1));
}

std::error_code TryDeleteProfileKey(const std::string& path, std::string_view section,
                                    std::string_view key) {
    const ProfileEdit edit{section, key, std::nullopt};
    return TryEditProfile(path, std::span(&edit, 1));
}

std::error_code TryDeleteProfileSection(const std::string& path, std::string_view section) {
    section = Trim(section);
    std::lock_guard lock(ProfileMutex());
    Document doc;
    std::string before;
    if (const std::error_code ec = TryLoadForWrite(path, doc, before); ec) {
        return ec;
    }
    auto sections = doc.Sections(section);
    for (auto range = sections.rbegin(); range != sections.rend(); ++range) {
        doc.Erase(range->begin, range->end);
    }
    return TryStore(path, doc, before);
}

std::vector<ProfileItem> ReadProfileSection(const std::string& path, std::string_view section) {
    section = Trim(section);
    std::string bytes;
    if (const std::error_code ec = ReadLocked(path, bytes); ec) {
        return {};
    }
    const Document doc = Document::Parse(bytes);
    const auto sections = doc.Sections(section);
    std::vector<ProfileItem> items;
    if (sections.empty()) {
        return items;
    }
    for (std::size_t i = sections.front().begin + 1; i < sections.front().end; ++i) {
        const Line& line = doc.At(i);
        if (line.kind == LineKind::Item) {
            items.push_back({line.name, line.value});
        }
    }
    return items;
}

}  // namespace cj::platform
