// The rows the result list shows: the last search's results, owned by the
// window, and the texts of each row, made when the row is first drawn.
//
// A search hands over bare paths, so that a million hits cost no more than
// the paths themselves; the name, the type-and-size text (with the file's
// size, looked up now) and the UTF-16 forms are made for the dozen rows on
// screen and kept for when they come back into view. UI thread only.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/file_size_reader.h"
#include "search/result_records.h"

namespace cj::ui {

struct RowTexts {
    std::u16string name;         // The file name without its extension.
    std::u16string typeAndSize;  // "文件类型：jpg   文件大小：532 B"
    std::u16string path;
};

class ResultRows {
  public:
    ResultRows() : m_records(std::make_unique<search::ResultsArray>()) {}

    std::size_t Count() const { return m_records->Count(); }
    const search::ResultsArray& Records() const { return *m_records; }
    search::ResultsArray& Records() { return *m_records; }

    // Shows records from now on (none when null), forgetting the texts made
    // for the rows before.
    void Replace(std::unique_ptr<search::ResultsArray> records);
    void Clear() { Replace(nullptr); }

    // The texts of row k, from 1; null when there is no such row. The
    // reference stays valid until the next call of Texts, Replace or Clear.
    const RowTexts* Texts(std::size_t k);

  private:
    // Rows whose texts are kept; past it they are all dropped and made again
    // as needed (about 200 bytes a row: a user who scrolls through a million
    // rows does not keep 200 MB).
    static constexpr std::size_t MaxKeptRows = 65536;

    RowTexts MakeTexts(std::size_t k);

    std::unique_ptr<search::ResultsArray> m_records;  // Never null.
    std::unordered_map<std::size_t, RowTexts> m_texts;
    platform::FileSizeReader m_sizes;
};

}  // namespace cj::ui
