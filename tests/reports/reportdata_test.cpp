#include <gtest/gtest.h>

#include "reports/csvexport.h"
#include "reports/reportdata.h"
#include "store/typedtexts.h"
#include "store/userresults.h"

namespace ks {
namespace {

std::string marks(const TTypedTexts& texts) {
  std::string out;
  for (const TextRun& r : MarkTypedText(texts)) {
    if (r.LineBreak) out += "|";
    static const char* kinds[] = {"", "!", "=", "-", "^"};
    out += kinds[r.Kind] + r.Text + " ";
  }
  return out;
}

TEST(TypedTextMarks, WrongWordsShowTheExpectedOneAndLeftOutWordsAreStruckOut) {
  TTypedTexts perfect;
  perfect.Add("The quick fox", "The quick fox");
  perfect.Add("jumps high", "jumps high");
  EXPECT_EQ(marks(perfect), "The quick fox |jumps high ");

  TTypedTexts typed;
  typed.Add("The quick brown fox", "The quikc fox");  // one wrong, one left out
  typed.Add("jumps over", "jumps over the");          // one too many
  typed.Add("it", "");
  EXPECT_EQ(marks(typed), "The !quikc =[quick] -brown fox |jumps over !the |-it ");
}

TEST(ResultsCsv, OneRowPerResultWithIsoDatesBothSpeedUnitsAndUtf8) {
  TResults results;
  TResultItem a;
  a.Number = 0;
  a.Source = "BKM";
  a.CourseId = "ENG";
  a.Chapter = 2;
  a.Exercise = 3;
  a.Event = 1;
  a.Name = "Home row, \"asdf\"";
  a.Kind = "TEXT";
  a.SubKind = "CT";
  a.Date = 45292.5;  // 2024-01-01 12:00
  a.TypingSeconds = 95;
  a.TimeLimit = 120;
  a.GrossSpeed = 212;
  a.NetSpeed = 190;
  a.Accuracy = 97;
  a.Passed = a.Complete = true;
  results.AddResult(a);
  TResultItem t;
  t.Number = 1;
  t.Source = "NAME";
  t.Kind = "TEST";
  t.TestName = "Caf\xE9";
  t.Date = 45293.25;
  t.TotalHits = 400;
  t.ErrorHits = 3;
  results.AddResult(t);

  const std::string csv = ResultsCsv(results, 5);
  EXPECT_EQ(csv, std::string(kResultsCsvHeader) + "\r\n" +
                     "0,BKM,ENG,2,3,1,\"Home row, \"\"asdf\"\"\",,TEXT,CT,2024-01-01T12:00:00,"
                     "95,120,212,42.4,190,38.0,97,0,0,,,1,1\r\n"
                     "1,NAME,,0,0,0,,Caf\xC3\xA9,TEST,0,2024-01-02T06:00:00,0,0,0,0.0,0,0.0,0,0,0,"
                     "400,3,0,0\r\n");
}

}  // namespace
}  // namespace ks
