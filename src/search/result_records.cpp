#include "search/result_records.h"

#include <iterator>

#include "platform/code_page.h"
#include "search/shard_scan.h"
#include "shell/file_name.h"

namespace cj::search {

namespace {

void AppendTypeAndSize(std::string& out, std::string_view name, std::string_view sizeText) {
    out += "文件类型：";
    for (const char c : shell::FileExtension(name)) {
        if (c != '.') {
            out += c;
        }
    }
    out += "   文件大小：";
    out += sizeText;
}

std::string SizeTextOf(std::string_view record, platform::FileSizeReader& sizes) {
    std::uint64_t size = 0;
    return sizes.RegularFileSize(record, size) ? "0" : shell::SizeTextForBytes(size);
}

}  // namespace

std::string TypeAndSizeText(std::string_view name, std::string_view sizeText) {
    std::string text;
    AppendTypeAndSize(text, name, sizeText);
    return text;
}

void AppendHitLines(std::string& out, std::string_view record, platform::FileSizeReader& sizes) {
    const std::string_view name = RecordName(record, platform::ActiveCodePage());
    out += name.substr(0, name.size() - shell::FileExtension(name).size());
    out += '\n';
    AppendTypeAndSize(out, name, SizeTextOf(record, sizes));
    out += '\n';
    out += record;
    out += '\n';
}

HitTexts MakeHitTexts(std::string_view record, platform::FileSizeReader* sizes) {
    const std::string name = shell::FileName(record, true);
    const std::string sizeText = sizes != nullptr ? SizeTextOf(record, *sizes) : std::string();
    HitTexts texts;
    texts.typeAndSize = TypeAndSizeText(name, sizeText);
    texts.name = name.substr(0, name.size() - shell::FileExtension(name).size());
    return texts;
}

ResultRecord MakeResultRecord(std::string_view record, platform::FileSizeReader& sizes) {
    const HitTexts texts = MakeHitTexts(record, &sizes);
    ResultRecord row;
    row.name = platform::NarrowToUtf16(texts.name);
    row.typeAndSize = platform::NarrowToUtf16(texts.typeAndSize);
    row.path = platform::NarrowToUtf16(record);
    return row;
}

const ResultRecord* ResultsArray::Row(std::size_t k) const {
    return k >= 1 && k <= m_rows.size() ? &m_rows[k - 1] : nullptr;
}

ResultRecord* ResultsArray::Row(std::size_t k) {
    return k >= 1 && k <= m_rows.size() ? &m_rows[k - 1] : nullptr;
}

void ResultsArray::Clear() {
    std::vector<ResultRecord>().swap(m_rows);
}

void ResultsArray::Append(std::vector<ResultRecord>&& rows) {
    if (m_rows.empty()) {
        m_rows = std::move(rows);
        return;
    }
    m_rows.insert(m_rows.end(), std::make_move_iterator(rows.begin()),
                  std::make_move_iterator(rows.end()));
}

std::string FoundText(std::size_t count) {
    return "找到：" + std::to_string(count) + " 个文件";
}

}  // namespace cj::search
