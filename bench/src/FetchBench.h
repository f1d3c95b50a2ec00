#pragma once

#include "DatasetBench.h"

namespace bench {

/// The board query with every parameter "%" read to its end by the access
/// layer, Qt's QIBASE driver and a bare client-API loop, side by side: one
/// checking read each (the same rows and text, or a note says otherwise),
/// then rounds in rotating order.
void benchmarkFetch(const DataSet &set, const Options &options, Results &results);

} // namespace bench
