// Dates as day counts from 1899-12-30 with the time of day as the fraction, the stored form.
#pragma once

#include <cstdint>
#include <string>

namespace ks {

struct CivilDate {
  int year = 1899;
  int month = 12;
  int day = 30;
};

struct CivilTime {
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// Day number of a calendar date (2024-01-01 -> 45292).
int32_t encodeDate(int year, int month, int day);
bool isValidDate(int year, int month, int day);
CivilDate decodeDate(double dateTime);
double encodeTime(int hour, int minute, int second, int millisecond);
CivilTime decodeTime(double dateTime);
// 1 = Sunday ... 7 = Saturday.
int dayOfWeek(double dateTime);
// The week of the year the monitor files its figures under: weeks start on Sunday, and the
// days of 1 January's week before its first Sunday make week 1 (1..54).
int weekOfYear(double dateTime);
bool isLeapYear(int year);
int daysInMonth(int year, int month);

// The date and time by a printf format taking year, month, day, hour, minute and second as
// ints, e.g. "%04d-%02d-%02dT%02d:%02d:%02d".
std::string formatDateTime(double dateTime, const char* format);

// The date in the locale's short format (1252); empty for a value that is no date.
std::string shortDateText(double dateTime);

}  // namespace ks
