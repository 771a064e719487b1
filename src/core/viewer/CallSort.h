#pragma once

#include "core/calllog/CallRecord.h"
#include "core/viewer/CallCells.h"

#include <QHash>
#include <QString>

#include <functional>
#include <vector>

// Orders calls by one of the viewer's columns (its number is the sort key) on
// the records' own fields, with the recursive partition-exchange sort the
// viewer has always used: the middle record is the pivot and both scans stop
// at a key equal to it, so calls with equal keys end in the order that
// procedure gives, not in the log's order.
//
// order receives, for each row of the result, the index in `calls` of the call
// shown there. rateNames (key to name) serves the Rate key; a key it lacks
// sorts as an empty name. A damaged date, time, duration or cost (one whose
// cell is empty) sorts below every other value. progress is told the
// percentage as the sort goes.
void sortCalls(const std::vector<CallRecord>& calls, int sortKey, bool ascending,
               const QHash<quint16, QString>& rateNames, std::vector<quint32>& order,
               const std::function<void(int percent)>& progress = {});
// The same for a table's calls with all their names: the Number key sorts by
// name or number, the calls without one first.
void sortTableCalls(const std::vector<CallRecord>& calls, int sortKey, bool ascending, const RateNames& names,
                    std::vector<quint32>& order, const std::function<void(int percent)>& progress = {});
