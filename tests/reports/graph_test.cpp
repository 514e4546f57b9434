#include <gtest/gtest.h>

#include "analysis/diffkeys.h"
#include "reports/coursegraphs.h"
#include "reports/graphmodel.h"
#include "store/langres.h"
#include "store/userresults.h"

namespace ks {
namespace {

using namespace graphcolour;

// Six pixels a character, seven in bold; 13 pixels high.
GraphFont fixedFont() {
  return GraphFont{8, 13, [](const std::string& t, bool bold) {
                     return static_cast<int>(t.size()) * (bold ? 7 : 6);
                   }};
}

TEST(GraphLayout, PlacesScaleBarsLabelsAndBandsByTheIntegerRules) {
  GraphModel g;  // 400 x 250, 0..100 step 20
  g.AddBar("1.1", 50);
  g.AddBar("1.2", 120);  // over the axis: cut to the maximum
  g.AddBar("2.1", -1);   // no position
  g.AddBar("2.2", 30, true);
  g.AddLine("A", Amber, 40);
  g.AddLine("B", LightBlue, 100);
  g.AddLine("C", Red, 70);
  const GraphLayout l = LayoutGraph(g, fixedFont());

  EXPECT_EQ(l.Plot.Left, 25);     // widest "100" + 7
  EXPECT_EQ(l.Plot.Top, 4);       // 8 points div 2
  EXPECT_EQ(l.Plot.Bottom, 222);  // 250 - 8 - round(19.5)
  EXPECT_EQ(l.Slot, 91);          // (400 - 21 div 2 - 25) div 4
  EXPECT_EQ(l.Plot.Right, 390);   // 25 + 4 * 91 + 1
  ASSERT_EQ(l.Ticks.size(), 6u);
  EXPECT_EQ(l.Ticks[0].Text, "0");
  EXPECT_EQ(l.Ticks[5].Y, 4);
  EXPECT_EQ(l.Ticks[5].TextRight, 18);

  ASSERT_EQ(l.Bars.size(), 4u);
  const auto& b0 = l.Bars[0];
  EXPECT_EQ(b0.X, 70);
  EXPECT_EQ(b0.LabelTop, 230);
  EXPECT_EQ(b0.Rect.Left, 34);
  EXPECT_EQ(b0.Rect.Right, 107);
  EXPECT_EQ(b0.Rect.Top, 113);
  EXPECT_EQ(b0.Rect.Bottom, 223);
  EXPECT_EQ(b0.Fill, Red);  // the first line at or above 50 is the one at 70
  EXPECT_EQ(l.Bars[1].Rect.Top, 4);
  EXPECT_EQ(l.Bars[1].Fill, LightBlue);
  EXPECT_FALSE(l.Bars[2].Positioned);
  EXPECT_EQ(l.Bars[3].Fill, Amber);
  EXPECT_TRUE(l.Bars[3].Bold);

  // Lines in value order, each caption between its line and the one below.
  ASSERT_EQ(l.Lines.size(), 3u);
  EXPECT_EQ(l.Lines[0].Y, 135);
  EXPECT_EQ(l.Lines[0].CaptionCentreY, 178);
  EXPECT_EQ(l.Lines[1].Caption, "C ");
  EXPECT_EQ(l.Lines[1].CaptionCentreY, 102);
  EXPECT_EQ(l.Lines[2].CaptionCentreY, 36);
  EXPECT_EQ(l.Lines[2].X0, 26);
  EXPECT_EQ(l.Lines[2].X1, 390);
}

TEST(GraphLayout, EdgeCasesNeitherDivideByZeroNorLoop) {
  GraphModel empty;
  empty.Step = 0;
  empty.Maximum = empty.Minimum;
  const GraphLayout e = LayoutGraph(empty, fixedFont());
  EXPECT_TRUE(e.Ticks.empty());
  EXPECT_TRUE(e.Bars.empty());
  EXPECT_EQ(e.Slot, 0);

  GraphModel one;
  one.AddBar("1.1", 100);
  const GraphLayout o = LayoutGraph(one, fixedFont());
  EXPECT_EQ(o.Slot, o.Plot.Right - o.Plot.Left);  // one bar keeps the right edge
  EXPECT_EQ(o.Bars[0].Rect.Top, o.Plot.Top);

  GraphModel many;
  many.Width = 120;
  for (int i = 0; i < 100; ++i) many.AddBar("", i);
  const GraphLayout m = LayoutGraph(many, fixedFont());
  EXPECT_EQ(m.Slot, 0);  // narrower than the bars: every slot collapses onto the left edge
  EXPECT_EQ(m.Bars[99].X, m.Plot.Left);
  EXPECT_EQ(m.Plot.Right, m.Plot.Left + 1);

  GraphModel noSwitches;
  noSwitches.FirstTickLabel = noSwitches.ValueLabels = noSwitches.BarLabels = false;
  const GraphLayout n = LayoutGraph(noSwitches, fixedFont());
  EXPECT_EQ(n.Ticks.size(), 5u);  // the first tick is left out
  EXPECT_TRUE(n.Ticks[0].Text.empty());
  EXPECT_EQ(n.Plot.Left, 1);
  EXPECT_EQ(n.Plot.Bottom, 242);
}

class CourseGraphs : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int id : {249, 250, 251, 1542, 1543, 1544, 1545})
      Localize().SetString(id, "m" + std::to_string(id));
    Localize().SetString(1608, "Goal (");
  }
  void TearDown() override { Localize().Reset(); }
  void add(int exercise, int gross, int accuracy) {
    TResultItem r;
    r.Source = "BKM";
    r.CourseId = "ENG";
    r.Chapter = 1;
    r.Exercise = exercise;
    r.Kind = "TEXT";
    r.GrossSpeed = r.NetSpeed = gross;
    r.Accuracy = accuracy;
    r.Date = 45000 + exercise;
    results_.AddResult(r);
  }
  static std::vector<double> lineValues(const GraphModel& g) {
    std::vector<double> v;
    for (const GraphLine& l : g.Lines) v.push_back(l.Value);
    return v;
  }
  TResults results_;
  SpeedUnit kpm_{true, 5};
};

TEST_F(CourseGraphs, SpeedScaleGrowsWithTheFastestResult) {
  GraphModel none = TCourseGraphs::SpeedGraph(results_, "GrossSpeed", "ENG", true, false, kpm_);
  EXPECT_EQ(none.Bars.size(), 16u);
  EXPECT_EQ(none.Bars[0].Value, -1);
  EXPECT_EQ(none.Maximum, 125);
  EXPECT_EQ(none.Step, 25);
  EXPECT_EQ(lineValues(none), (std::vector<double>{40, 75, 125}));
  EXPECT_EQ(none.Lines[1].Caption, "m1542");

  add(1, 180, 90);
  GraphModel fast = TCourseGraphs::SpeedGraph(results_, "GrossSpeed", "ENG", true, false, kpm_);
  EXPECT_EQ(fast.Maximum, 200);
  EXPECT_EQ(fast.Step, 50);
  EXPECT_EQ(fast.Lines.back().Value, 200);
  EXPECT_EQ(fast.Lines.back().Caption, "m1545");
  EXPECT_EQ(fast.Bars[0].Label, "1.1");

  add(2, 1200, 90);
  GraphModel wpm =
      TCourseGraphs::SpeedGraph(results_, "GrossSpeed", "ENG", false, true, SpeedUnit{false, 5});
  EXPECT_EQ(wpm.Maximum, 250);  // 1250 keystrokes, in words of five
  EXPECT_EQ(wpm.Step, 50);
  EXPECT_EQ(wpm.Bars[1].Value, 240);
  EXPECT_FALSE(wpm.BarLabels || wpm.ValueLabels || wpm.TickMarks);
}

TEST_F(CourseGraphs, AccuracyScaleDropsBelowEightyOnlyWhenAResultDoes) {
  add(1, 100, 95);
  add(2, 100, 81);
  GraphModel high = TCourseGraphs::AccuracyGraph(results_, "ENG", 92);
  EXPECT_EQ(high.Minimum, 80);
  EXPECT_EQ(high.Step, 5);
  EXPECT_EQ(high.Lines.back().Caption, "Goal (92%)");
  EXPECT_NEAR(high.Lines.front().Value, 91.99, 1e-9);
  add(3, 100, 63);
  GraphModel low = TCourseGraphs::AccuracyGraph(results_, "ENG", 0);
  EXPECT_EQ(low.Minimum, 60);
  EXPECT_EQ(low.Step, 10);
  EXPECT_EQ(low.Lines.size(), 1u);
}

TEST_F(CourseGraphs, DifficultKeysArePaddedAndBandedAtTheLimits) {
  TDifficultKeys keys(8);
  for (int i = 0; i < 20; ++i) keys.recordKey('q', i < 10);
  keys.updateStatistics();
  std::string shown;
  GraphModel g = TCourseGraphs::DifficultKeysGraph(keys, 5, 0, "q", "", &shown);
  EXPECT_EQ(g.Width, 200);
  EXPECT_EQ(shown, "q");
  ASSERT_EQ(g.Bars.size(), 5u);
  EXPECT_TRUE(g.Bars[0].Highlighted);
  EXPECT_EQ(g.Bars[4].Value, 0);
  ASSERT_EQ(g.Lines.size(), 3u);
  EXPECT_NEAR(g.Lines[0].Value, 32.99, 1e-9);
  EXPECT_NEAR(g.Lines[1].Value, 65.99, 1e-9);
  // A key exactly at the moderate limit falls into the higher band.
  GraphModel banded;
  banded.Lines = g.Lines;
  banded.AddBar("x", 33);
  EXPECT_EQ(LayoutGraph(banded, fixedFont()).Bars[0].Fill, Amber);
}

}  // namespace
}  // namespace ks
