#include "ui/batch_table.h"

#include <algorithm>
#include <numeric>
#include <string>

#include "ui/texts.h"

namespace cj::ui {
namespace {

// What the result column says of a number, by its sort rank.
enum class Result { Missing = 0, Unsure = 1, Found = 2 };

Result ResultOf(const search::BatchNumber& number, bool complete) {
    if (number.files > 0) {
        return Result::Found;
    }
    return complete ? Result::Missing : Result::Unsure;
}

std::string ResultText(const search::BatchNumber& number, bool complete) {
    switch (ResultOf(number, complete)) {
        case Result::Found:
            return std::string(BatchFoundWord);
        case Result::Unsure:
            return std::string(BatchUnsureWord);
        case Result::Missing:
            break;
    }
    return number.filesIgnoringCase > 0
               ? BatchMissingButFoundIgnoringCaseWord(number.filesIgnoringCase)
               : std::string(BatchMissingWord);
}

// Whether a sorts before b by column, ascending.
bool Before(const search::BatchNumber& a, const search::BatchNumber& b, BatchColumn column,
            bool complete) {
    switch (column) {
        case BatchColumn::Number:
            return a.number < b.number;
        case BatchColumn::Files:
            return a.files < b.files;
        case BatchColumn::Result:
            return ResultOf(a, complete) < ResultOf(b, complete);
        case BatchColumn::None:
            break;
    }
    return false;
}

}  // namespace

BatchTableOrder NextOrder(BatchTableOrder current, BatchColumn column) {
    if (current.column == column) {
        return {column, !current.ascending};
    }
    return {column, true};
}

std::vector<ReportRowTexts> BatchTableRows(const std::vector<search::BatchNumber>& numbers,
                                           bool complete, BatchTableOrder order,
                                           ExArgb missingColour) {
    std::vector<std::size_t> shown(numbers.size());
    std::iota(shown.begin(), shown.end(), std::size_t{0});
    // Stable, with the comparison turned round for descending: equal numbers
    // keep the list's order both ways.
    std::stable_sort(shown.begin(), shown.end(), [&](std::size_t a, std::size_t b) {
        return order.ascending ? Before(numbers[a], numbers[b], order.column, complete)
                               : Before(numbers[b], numbers[a], order.column, complete);
    });
    std::vector<ReportRowTexts> rows;
    rows.reserve(numbers.size());
    for (const std::size_t index : shown) {
        const search::BatchNumber& number = numbers[index];
        const bool missing = ResultOf(number, complete) == Result::Missing;
        rows.push_back({{number.number, std::to_string(number.files), ResultText(number, complete)},
                        {},
                        missing ? missingColour : ExArgb{0}});
    }
    return rows;
}

}  // namespace cj::ui
