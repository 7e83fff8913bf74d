// The rows of the batch box's table: one per number of the last batch, with
// its file count and its result, in the list's order or sorted by a column
// the user clicked. Pure: the box fills its ReportList with them.
#pragma once

#include <vector>

#include "search/batch_search.h"
#include "ui/controls/report_list.h"

namespace cj::ui {

// The table's columns, numbered as the list numbers them.
enum class BatchColumn { None = 0, Number = 1, Files = 2, Result = 3 };

struct BatchTableOrder {
    BatchColumn column = BatchColumn::None;  // None: the list's order.
    bool ascending = true;
};

// The order after a click on column's title: ascending by it, or the other
// way round when the table is sorted by it already.
BatchTableOrder NextOrder(BatchTableOrder current, BatchColumn column);

// The rows of numbers in order; a number sorts after the numbers it equals
// when they came later in the list, either way round. complete false marks
// the numbers without files as unsure instead of missing. The missing ones'
// texts are in missingColour. The result column sorts missing numbers first,
// then unsure ones, then found ones.
std::vector<ReportRowTexts> BatchTableRows(const std::vector<search::BatchNumber>& numbers,
                                           bool complete, BatchTableOrder order,
                                           ExArgb missingColour);

}  // namespace cj::ui
