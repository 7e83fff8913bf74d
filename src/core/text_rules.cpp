#include "core/text_rules.h"

#include <algorithm>
#include <limits>
#include <thread>

namespace cj::core {

std::vector<std::string> SplitText(std::string_view text, std::string_view separator) {
    std::vector<std::string> members;
    if (text.empty()) {
        return members;
    }
    if (separator.empty()) {
        members.emplace_back(text);
        return members;
    }
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t hit = text.find(separator, start);
        if (hit == std::string_view::npos) {
            members.emplace_back(text.substr(start));
            break;
        }
        members.emplace_back(text.substr(start, hit - start));
        start = hit + separator.size();
    }
    return members;
}

std::int64_t TextToInt(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    // Accumulate as a negative number: its range is one larger, so INT64_MIN
    // reads back exactly.
    constexpr std::int64_t Min = std::numeric_limits<std::int64_t>::min();
    std::int64_t value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        const int digit = text[pos] - '0';
        if (value < (Min + digit) / 10) {
            value = Min;
            break;
        }
        value = value * 10 - digit;
    }
    if (negative) {
        return value;
    }
    return value == Min ? std::numeric_limits<std::int64_t>::max() : -value;
}

std::string JoinFolderList(const std::vector<std::string>& folders) {
    std::string value;
    for (const std::string& folder : folders) {
        value += folder;
        value += FolderSeparator;
    }
    return value;
}

std::vector<std::string> SplitFolderList(std::string_view value) {
    return SplitText(value, FolderSeparator);
}

int DefaultThreadCount() {
    const unsigned cores = std::thread::hardware_concurrency();
    return std::clamp(static_cast<int>(cores), 1, MaxThreadCount);
}

int ThreadCountFromText(std::string_view text) {
    const std::int64_t value = TextToInt(text);
    if (value >= 1 && value <= MaxThreadCount) {
        return static_cast<int>(value);
    }
    return DefaultThreadCount();
}

}  // namespace cj::core
