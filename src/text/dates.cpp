#include "text/dates.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "text/cp1252.h"

namespace ks {
namespace {

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

CivilDate civilFromDays(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t y = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return CivilDate{static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

constexpr int64_t kEpochOffset = 25569;  // 1970-01-01 as a day number from 1899-12-30

}  // namespace

bool isLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

bool isValidDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= daysInMonth(year, month);
}

int32_t encodeDate(int year, int month, int day) {
  return static_cast<int32_t>(
      daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + kEpochOffset);
}

CivilDate decodeDate(double dateTime) {
  return civilFromDays(static_cast<int64_t>(std::floor(dateTime)) - kEpochOffset);
}

double encodeTime(int hour, int minute, int second, int millisecond) {
  return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond) / 86400000.0;
}

CivilTime decodeTime(double dateTime) {
  double fraction = dateTime - std::floor(dateTime);
  int64_t ms = static_cast<int64_t>(std::llround(fraction * 86400000.0));
  if (ms >= 86400000) ms = 86399999;
  CivilTime t;
  t.millisecond = static_cast<int>(ms % 1000);
  ms /= 1000;
  t.second = static_cast<int>(ms % 60);
  ms /= 60;
  t.minute = static_cast<int>(ms % 60);
  t.hour = static_cast<int>(ms / 60);
  return t;
}

int dayOfWeek(double dateTime) {
  // 1899-12-30 was a Saturday (7).
  int64_t days = static_cast<int64_t>(std::floor(dateTime));
  int64_t r = ((days + 6) % 7 + 7) % 7;  // 0 = Sunday
  return static_cast<int>(r) + 1;
}

int weekOfYear(double dateTime) {
  const CivilDate d = decodeDate(dateTime);
  const int32_t jan1 = encodeDate(d.year, 1, 1);
  const int n = static_cast<int>(std::floor(dateTime)) - jan1 + 1;
  const int base = dayOfWeek(dateTime) == 1 ? 0 : 1;
  const int firstDay = dayOfWeek(jan1);
  const int offset = firstDay == 1 ? 1 : 9 - firstDay;
  return n / 7 + base + (n % 7 - offset >= 0 ? 1 : 0);
}

std::string formatDateTime(double dateTime, const char* format) {
  const CivilDate d = decodeDate(dateTime);
  const CivilTime t = decodeTime(dateTime);
  char buf[64];
  std::snprintf(buf, sizeof buf, format, d.year, d.month, d.day, t.hour, t.minute, t.second);
  return buf;
}

std::string shortDateText(double dateTime) {
  // Years 1 to 9999, as the stored day counts allow.
  if (!std::isfinite(dateTime) || dateTime < -693593 || dateTime >= 2958466) return {};
  const CivilDate d = decodeDate(dateTime);
  std::tm t{};
  t.tm_year = d.year - 1900;
  t.tm_mon = d.month - 1;
  t.tm_mday = d.day;
  char buf[64];
  const size_t n = std::strftime(buf, sizeof buf, "%x", &t);
  return utf8ToCp1252(std::string_view(buf, n));
}

}  // namespace ks
