#include "reports/coursegraphs.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "analysis/diffkeys.h"
#include "content/resultjudge.h"
#include "store/langres.h"
#include "store/userresults.h"
#include "text/textutil.h"

namespace ks {
namespace {

using namespace graphcolour;

std::string msg(int id) {
  return Localize().GetString(id);
}

// The values of one measure with their labels, and the bars they make (padded to 16).
struct Series {
  std::vector<int> Values;
  std::vector<std::string> Labels;
  int Largest = 0;
  int Smallest = 0;
};

Series seriesOf(const TResults& results, std::string_view measure, std::string_view courseId) {
  Series s;
  s.Values = results.MeasureSeries(measure, courseId, &s.Labels);
  bool first = true;
  for (int v : s.Values) {
    if (v <= 0) continue;
    s.Largest = first ? v : std::max(s.Largest, v);
    s.Smallest = first ? v : std::min(s.Smallest, v);
    first = false;
  }
  return s;
}

GraphModel metricGraph(const Series& s, bool labelled, const SpeedUnit* unit) {
  GraphModel g;
  for (size_t i = 0; i < s.Values.size(); ++i) {
    const int v = s.Values[i];
    if (v <= 0) continue;
    g.AddBar(labelled ? s.Labels[i] : std::string(), unit ? unit->Convert(v) : v);
  }
  while (g.Bars.size() < static_cast<size_t>(TCourseGraphs::kMinBars)) g.AddBar("", -1);
  g.Width = 520;
  g.Height = 160;
  g.Left = 15;
  g.Top = 15;
  g.Background = PlotBackground;
  g.Style = 1;
  return g;
}

}  // namespace

GraphModel TCourseGraphs::SpeedGraph(const TResults& results, std::string_view measure,
                                     std::string_view courseId, bool goalLine, bool switchesOff,
                                     const SpeedUnit& unit) {
  const Series s = seriesOf(results, measure, courseId);
  GraphModel g = metricGraph(s, !sameText(measure, "DIFFINDEX"), &unit);
  if (switchesOff) g.BarLabels = g.ValueLabels = g.TickMarks = false;

  // The scale in keystrokes per minute; converted with the bars at the end.
  struct Line {
    int Message;  // 0: no caption
    Rgb Colour;
    double Value;
  };
  std::vector<Line> lines;
  double maximum = 125, step = 25;
  if (goalLine) {
    lines = {{0, Amber, 40}, {1542, LightBlue, 75}, {1543, LightBlue, 125}};
    if (s.Largest > 124) {
      maximum = 175;
      lines.push_back({1544, LightBlue, 175});
    }
  } else {
    lines = {{0, Amber, 50}, {0, LightBlue, 100}, {0, LightBlue, 150}};
    if (s.Largest > 124) {
      maximum = 200;
      lines.push_back({0, LightBlue, 200});
      lines.push_back({0, LightBlue, 250});
    }
  }
  if (s.Largest > 174) {
    maximum = std::floor(s.Largest / 50.0) * 50 + 50;
    step = s.Largest > 4999 ? 1000 : s.Largest > 999 ? 250 : 50;
    lines.push_back({goalLine ? 1545 : 0, LightBlue, maximum});
  }
  g.Minimum = 0;
  g.Maximum = static_cast<float>(unit.Convert(maximum));
  g.Step = static_cast<float>(unit.Convert(step));
  for (const Line& l : lines)
    g.AddLine(l.Message ? msg(l.Message) : std::string(), l.Colour, unit.Convert(l.Value));
  return g;
}

GraphModel TCourseGraphs::AccuracyGraph(const TResults& results, std::string_view courseId,
                                        int goalAccuracy) {
  const Series s = seriesOf(results, "Accuracy", courseId);
  GraphModel g = metricGraph(s, true, nullptr);
  g.Maximum = 100;
  g.Minimum = 80;
  g.Step = 5;
  if (!s.Values.empty() && s.Smallest < 80) {
    g.Minimum = static_cast<float>(s.Smallest / 10 * 10);
    g.Step = 10;
  }
  if (goalAccuracy > 0) {
    g.AddLine(msg(1608) + std::to_string(goalAccuracy) + "%)", LightBlue, 100);
    g.AddLine("", Amber, goalAccuracy - 0.01);
  } else {
    g.AddLine("", LightBlue, 100);
  }
  return g;
}

GraphModel TCourseGraphs::DifficultKeysGraph(const TDifficultKeys& keys, int n, int minPresses,
                                             const std::string& highlight,
                                             const std::string& allowed, std::string* shown) {
  GraphModel g;
  g.Width = n * 30 + 50;
  g.Height = 160;
  g.Left = 15;
  g.Top = 15;
  g.Background = PlotBackground;
  g.Minimum = 0;
  g.AddLine(msg(249), Red, 100);
  g.AddLine(msg(250), Amber, keys.HighLimit - 0.01);
  g.AddLine(msg(251), LightBlue, keys.ModerateLimit - 0.01);
  // The same choice of keys as the result page's chart.
  for (const KeyBar& b : DifficultKeyBars(keys, n, minPresses, highlight, allowed, shown)) {
    g.AddBar(b.Key ? std::string(1, static_cast<char>(b.Key)) : std::string(), b.Difficulty,
             b.Highlighted);
  }
  return g;
}

}  // namespace ks
