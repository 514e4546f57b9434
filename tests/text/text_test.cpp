#include <gtest/gtest.h>

#include "text/cp1252.h"
#include "text/dates.h"
#include "text/fields.h"
#include "text/numbers.h"
#include "text/textutil.h"

namespace ks {
namespace {

using Fields = std::vector<std::string>;

TEST(Cp1252, ConvertsTheRangeWhereItDiffersFromLatin1) {
  EXPECT_EQ(cp1252ToUtf8("\x80\x8A\x93\x94\x9F"), "€Š“”Ÿ");
  EXPECT_EQ(utf8ToCp1252("€Š“”Ÿ"), "\x80\x8A\x93\x94\x9F");
  // Latin-1 letters keep their byte.
  EXPECT_EQ(utf8ToCp1252("äöüß"), "\xE4\xF6\xFC\xDF");
  // Every byte survives a round trip, undefined ones included.
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
}

TEST(Cp1252, CountsCharactersWithoutACode) {
  int bad = 0;
  EXPECT_EQ(utf8ToCp1252("a\xE2\x82\xAC\xE2\x98\x83z", '?', &bad), "a\x80?z");  // € ☃
  EXPECT_EQ(bad, 1);
  EXPECT_EQ(utf8ToCp1252("\xC3", '?', &bad), "?");  // truncated sequence
  EXPECT_EQ(bad, 1);
  EXPECT_EQ(utf8ToCp1252("\xC0\xAF", '?', &bad).size(), 1u);  // overlong "/"
  EXPECT_EQ(bad, 1);
}

TEST(CaseFolding, FollowsWindows1252) {
  EXPECT_EQ(upperCase("abc\x9A\x9C\x9E\xFF\xE4\xF7\xDF\xB5"),
            "ABC\x8A\x8C\x8E\x9F\xC4\xF7\xDF\xB5");      // ÷, ß and µ stay
  EXPECT_EQ(lowerCase("\x8A\xC4\xD7"), "\x9A\xE4\xD7");  // × stays
  EXPECT_TRUE(sameText("Sounds", "SOUNDS"));
  EXPECT_TRUE(sameText("\xC5sa", "\xE5SA"));
  EXPECT_FALSE(sameText("Sound", "Sounds"));
  EXPECT_LT(compareText("apple", "Banana"), 0);
  EXPECT_EQ(findText("C:/LANGUAGE.ENG", "eng"), 12u);
}

TEST(Lines, AcceptEveryLineEndAndStopAtNul) {
  EXPECT_EQ(splitLines("a\r\nb\rc\nd"), (Fields{"a", "b", "c", "d"}));
  EXPECT_EQ(splitLines("a\n\nb\n"), (Fields{"a", "", "b"}));
  EXPECT_EQ(splitLines("a\n\n"), (Fields{"a", ""}));
  EXPECT_EQ(splitLines("a\nb\0c\nd"), (Fields{"a", "b"}));
  EXPECT_TRUE(splitLines("").empty());
}

TEST(Integers, ReadWithTheStoredFormatsRules) {
  int32_t v = 0;
  EXPECT_TRUE(tryStrToInt(" 12", v));
  EXPECT_EQ(v, 12);
  EXPECT_TRUE(tryStrToInt("-7", v));
  EXPECT_EQ(v, -7);
  EXPECT_TRUE(tryStrToInt("$1F", v));
  EXPECT_EQ(v, 31);
  EXPECT_TRUE(tryStrToInt("0x10", v));
  EXPECT_EQ(v, 16);
  EXPECT_TRUE(tryStrToInt("$FFFFFFFF", v));
  EXPECT_EQ(v, -1);
  EXPECT_TRUE(tryStrToInt("-2147483648", v));
  EXPECT_EQ(v, INT32_MIN);
  for (const char* bad : {"", " ", "12abc", "12 ", "2147483648", "+", "$", "1.5", "0x"}) {
    EXPECT_FALSE(tryStrToInt(bad, v)) << bad;
  }
  EXPECT_EQ(strToIntDef("12abc", 0), 0);
  int64_t w = 0;
  EXPECT_TRUE(tryStrToInt64("3000000000", w));
  EXPECT_EQ(w, 3000000000LL);
  EXPECT_TRUE(tryStrToInt64("-9223372036854775808", w));
  EXPECT_EQ(w, INT64_MIN);
  EXPECT_FALSE(tryStrToInt64("9223372036854775808", w));
}

TEST(Floats, WriteFifteenDigitsAndReadWithADot) {
  EXPECT_EQ(floatToStr(static_cast<double>(0.1f)), "0.100000001490116");
  EXPECT_EQ(floatToStr(static_cast<double>(45292.6f)), "45292.6015625");
  EXPECT_EQ(floatToStr(0), "0");
  EXPECT_EQ(floatToStr(1.5), "1.5");
  EXPECT_EQ(floatToStr(-250), "-250");
  EXPECT_EQ(floatToStr(0.0001), "0.0001");
  EXPECT_EQ(floatToStr(0.00001), "1E-5");
  EXPECT_EQ(floatToStr(1e20), "1E20");
  double d = 0;
  EXPECT_TRUE(tryStrToFloat(" 0.25 ", d));
  EXPECT_DOUBLE_EQ(d, 0.25);
  EXPECT_TRUE(tryStrToFloat("-1E-5", d));
  EXPECT_DOUBLE_EQ(d, -1e-5);
  EXPECT_TRUE(tryStrToFloat("7", d));
  for (const char* bad : {"", "abc", "0,5", "inf", "nan", "0x1p3", "1.0f", "e5", "--1"}) {
    EXPECT_FALSE(tryStrToFloat(bad, d)) << bad;
  }
}

TEST(Rounding, TiesGoToEven) {
  EXPECT_EQ(roundHalfEven(12.5), 12);
  EXPECT_EQ(roundHalfEven(13.5), 14);
  EXPECT_EQ(roundHalfEven(-2.5), -2);
  EXPECT_EQ(roundHalfEven(2.5000001), 3);
  EXPECT_EQ(roundHalfEven(0.49999), 0);
}

TEST(Dates, CountDaysFrom1899_12_30) {
  EXPECT_EQ(encodeDate(1899, 12, 30), 0);
  EXPECT_EQ(encodeDate(2024, 1, 1), 45292);
  EXPECT_EQ(encodeDate(1900, 3, 1), 61);
  CivilDate date = decodeDate(45352.75);
  EXPECT_EQ(date.year, 2024);
  EXPECT_EQ(date.month, 3);
  EXPECT_EQ(date.day, 1);
  CivilTime time = decodeTime(45352.75);
  EXPECT_EQ(time.hour, 18);
  EXPECT_EQ(time.minute, 0);
  EXPECT_DOUBLE_EQ(encodeTime(12, 0, 0, 0), 0.5);
  EXPECT_EQ(dayOfWeek(45292), 2);  // 2024-01-01 was a Monday
  EXPECT_TRUE(isValidDate(2024, 2, 29));
  EXPECT_FALSE(isValidDate(2023, 2, 29));
}

TEST(FieldSplitter, CollapsesSeparatorsAndKeepsBlanks) {
  EXPECT_EQ(splitFields("a=b;c"), (Fields{"a", "b", "c"}));
  EXPECT_EQ(splitFields(";;a;;=b;;"), (Fields{"a", "b"}));
  EXPECT_EQ(splitFields("keyboard = qwerty.kbd"), (Fields{"keyboard ", " qwerty.kbd"}));
  EXPECT_TRUE(splitFields(";;=;").empty());
  EXPECT_EQ(splitFields("a;b", ";"), (Fields{"a", "b"}));
  EXPECT_EQ(splitFields("a=b;c", ";"), (Fields{"a=b", "c"}));
}

TEST(FieldSplitter, PercentEscapesASeparator) {
  EXPECT_EQ(splitFields("text;a%;b;c"), (Fields{"text", "a;b", "c"}));
  EXPECT_EQ(splitFields("x=50%;y"), (Fields{"x", "50;y"}));
  EXPECT_EQ(splitFields("x=50%"), (Fields{"x", "50%"}));  // not before a separator: kept
  EXPECT_EQ(splitFields("x;100%ok"), (Fields{"x", "100%ok"}));
  EXPECT_EQ(splitFields(escapeField("a;b=c") + ";d"), (Fields{"a;b=c", "d"}));
}

TEST(FieldSplitter, EventSplitEndsFieldZeroAtALeadingEquals) {
  EXPECT_EQ(splitEventFields("event=TEXT;60;a=b"), (Fields{"event", "TEXT", "60", "a=b"}));
  EXPECT_EQ(splitEventFields("event;TEXT=x;60"), (Fields{"event", "TEXT=x", "60"}));
  EXPECT_EQ(splitEventFields("only=field"), (Fields{"only", "field"}));
}

TEST(CommaText, QuotesBlanksAndEmptyItems) {
  EXPECT_EQ(parseCommaText("a,b c"), (Fields{"a", "b", "c"}));
  EXPECT_EQ(parseCommaText("\"x y\",\"say \"\"hi\"\"\""), (Fields{"x y", "say \"hi\""}));
  EXPECT_EQ(parseCommaText("a,,b"), (Fields{"a", "", "b"}));
  EXPECT_EQ(parseCommaText("a,"), (Fields{"a", ""}));
  EXPECT_TRUE(parseCommaText("  ").empty());
  Fields items{"plain", "two words", "q\"uote", ""};
  EXPECT_EQ(parseCommaText(makeCommaText(items)), items);
}

}  // namespace
}  // namespace ks
