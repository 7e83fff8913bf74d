// The rows of the result list: one record per hit, kept in row order.
//
// Texts are UTF-16, the UI library's text; they are made from the narrow hit
// texts once, when the record is made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_size_reader.h"

namespace cj::search {

struct ResultRecord {
    std::u16string name;         // The file name without its extension.
    std::u16string typeAndSize;  // "文件类型：jpg   文件大小：532 B"
    std::u16string path;         // The full path, the index record.
    // What the copy list did with the row: 0 not taken (every new row), 1 in
    // the copy list, 2 added again, 3 copied directly.
    std::int32_t copyMark = 0;
};

// The three narrow texts of a hit, in the platform encoding.
struct HitTexts {
    std::string name;
    std::string typeAndSize;
};

// Name and type text of a record. The size text is looked up from the file
// with sizes (on the calling thread; "0" when the file is empty, gone or not a
// regular file), or left out when sizes is null.
HitTexts MakeHitTexts(std::string_view record, platform::FileSizeReader* sizes);

// "文件类型：" + the extension of name without its dots + "   文件大小：" + sizeText.
std::string TypeAndSizeText(std::string_view name, std::string_view sizeText);

// Appends the three lines of a hit to out, each ended by LF: the name without
// its extension, the type-and-size text (size looked up with sizes, on the
// calling thread) and the record. Builds no temporary texts: the command
// line's long output runs through here for every hit.
void AppendHitLines(std::string& out, std::string_view record, platform::FileSizeReader& sizes);

// The record of a hit: looks the file's size up (so call it on a worker).
ResultRecord MakeResultRecord(std::string_view record, platform::FileSizeReader& sizes);

// The results array: records addressed by row number from 1. Owned by the
// search engine. Written by the engine only while a search runs and the list
// shows no rows; read by the window on its thread once the row count is set.
class ResultsArray {
  public:
    std::size_t Count() const { return m_rows.size(); }

    // Row k from 1; null when k is 0 or beyond the last row.
    const ResultRecord* Row(std::size_t k) const;
    ResultRecord* Row(std::size_t k);

    void Clear();
    void Append(std::vector<ResultRecord>&& rows);

  private:
    std::vector<ResultRecord> m_rows;
};

// The status line's text after a search: "找到：" + count + " 个文件".
std::string FoundText(std::size_t count);

}  // namespace cj::search
