#pragma once
// Local time and its calendar fields, as documents and the logger carry them.
#include <QtGlobal>
#include <ctime>

// Local time <-> the six date fields (full year, month from 1). Building a time
// never fails: an impossible date (month 13, day 0) is normalised the way the C
// library does it, and a date before 1900 or after 9999 is clamped to the first or
// last second of those years.
struct DateFields {
    qint32 year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};
// The fields of a broken-down time (tm_year from 1900, tm_mon from 0).
DateFields dateFieldsFromTm(const std::tm& tm);
DateFields localDateFields(std::time_t t);
std::time_t timeFromLocalFields(const DateFields& f);
