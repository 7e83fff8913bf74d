#include "ui/result_rows.h"

#include "platform/code_page.h"
#include "shell/hit_text.h"

namespace cj::ui {

void ResultRows::Replace(std::unique_ptr<search::ResultsArray> records) {
    m_texts.clear();
    m_records = records ? std::move(records) : std::make_unique<search::ResultsArray>();
}

const RowTexts* ResultRows::Texts(std::size_t k) {
    if (k < 1 || k > Count()) {
        return nullptr;
    }
    if (const auto found = m_texts.find(k); found != m_texts.end()) {
        return &found->second;
    }
    if (m_texts.size() >= MaxKeptRows) {
        m_texts.clear();
    }
    return &m_texts.emplace(k, MakeTexts(k)).first->second;
}

RowTexts ResultRows::MakeTexts(std::size_t k) {
    const std::string_view path = m_records->Path(k);
    std::uint64_t bytes = 0;
    const std::error_code unreadable = m_sizes.RegularFileSize(path, bytes);
    const shell::HitTexts texts =
        shell::MakeHitTexts(path, unreadable ? std::nullopt : std::optional<std::uint64_t>(bytes));
    return {platform::NarrowToUtf16(texts.name), platform::NarrowToUtf16(texts.typeAndSize),
            platform::NarrowToUtf16(path)};
}

}  // namespace cj::ui
