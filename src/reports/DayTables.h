#pragma once

class CountModel;

// Whole-table operations on the gates' day count tables.
namespace DayTables {

// Day records of all gates together: the range of the progress window of the exports.
int totalRecords(const CountModel& model);

// Every gate's table in day order.
void sortAllByDate(CountModel& model);

// True when some gate has a record whose day lies in fromDay..toDay (whole days).
bool hasDataBetween(const CountModel& model, int fromDay, int toDay);

} // namespace DayTables
