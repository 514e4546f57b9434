#include "reports/graphmodel.h"

#include <algorithm>
#include <cmath>

#include "text/numbers.h"

namespace ks {
namespace {

// A tiny step would make a tick list without end.
constexpr int kMaxTicks = 1000;

int roundInt(double v) {
  return static_cast<int>(roundHalfEven(v));
}

}  // namespace

void GraphModel::AddBar(std::string label, double value, bool highlighted) {
  Bars.push_back({std::move(label), value, highlighted});
}

void GraphModel::AddLine(std::string caption, Rgb colour, double value) {
  auto at = std::find_if(Lines.begin(), Lines.end(),
                         [value](const GraphLine& l) { return !(l.Value < value); });
  Lines.insert(at, GraphLine{std::move(caption), colour, value});
}

std::string GraphValueText(double value) {
  if (value == std::floor(value) && std::fabs(value) < 1e15) return intToStr(roundHalfEven(value));
  return floatToStr(value);
}

GraphLayout LayoutGraph(const GraphModel& g, const GraphFont& font) {
  GraphLayout out;
  const auto width = [&font](const std::string& text, bool bold) {
    return font.Width ? font.Width(text, bold) : 0;
  };

  std::vector<float> ticks;
  if (g.Step > 0) {
    for (float v = g.Minimum; static_cast<int>(ticks.size()) < kMaxTicks; v += g.Step) {
      ticks.push_back(v);
      if (!(v < g.Maximum)) break;
    }
  }
  int widest = 0;
  for (float v : ticks) widest = std::max(widest, width(GraphValueText(v), false));

  const int labelBand = roundInt(1.5 * font.Height);
  const int bars = static_cast<int>(g.Bars.size());
  GraphRect& p = out.Plot;
  p.Left = g.ValueLabels ? widest + 7 : 1;
  p.Top = g.ValueLabels ? font.Points / 2 : 0;
  p.Right = g.Width;
  if (g.BarLabels && bars > 0) {
    const GraphBar& last = g.Bars.back();
    p.Right -= width(last.Label, last.Highlighted) / 2;
  }
  p.Bottom = g.Height - 8 - (g.BarLabels ? labelBand : 0);
  out.Slot = bars > 0 ? (p.Right - p.Left) / bars : 0;
  if (bars > 1) p.Right = p.Left + bars * out.Slot + 1;

  const double range = static_cast<double>(g.Maximum) - g.Minimum;
  const auto yOf = [&](double v) {
    if (range <= 0) return p.Bottom;
    const double cut = std::min(v, static_cast<double>(g.Maximum)) - g.Minimum;
    return p.Bottom - roundInt((p.Bottom - p.Top) * cut / range);
  };
  const auto positioned = [&g](double v) { return !(v < g.Minimum); };

  for (size_t i = 0; i < ticks.size(); ++i) {
    if (i == 0 && !g.FirstTickLabel) continue;
    GraphLayout::Tick t;
    t.Y = yOf(ticks[i]);
    t.Mark = g.TickMarks;
    if (g.ValueLabels) t.Text = GraphValueText(ticks[i]);
    t.TextRight = widest;
    out.Ticks.push_back(std::move(t));
  }

  const int barWidth = roundInt(0.8 * out.Slot);
  bool filled = false;
  Rgb fill = 0;
  for (int i = 0; i < bars; ++i) {
    const GraphBar& src = g.Bars[static_cast<size_t>(i)];
    GraphLayout::Bar b;
    b.X = p.Left + i * out.Slot + out.Slot / 2;
    if (g.BarLabels) b.Label = src.Label;
    b.Bold = src.Highlighted;
    b.LabelTop = g.Height - labelBand;
    b.Positioned = positioned(src.Value);
    if (b.Positioned) {
      const double v = std::min(src.Value, static_cast<double>(g.Maximum));
      b.Y = yOf(v);
      b.Rect.Left = p.Left + i * out.Slot + (out.Slot - barWidth) / 2;
      b.Rect.Top = b.Y;
      b.Rect.Right = b.Rect.Left + barWidth;
      b.Rect.Bottom = p.Bottom + 1;
      if (g.ColourBars) {
        for (const GraphLine& l : g.Lines) {
          if (!(l.Value < v)) {
            filled = true;
            fill = l.Colour;
            break;
          }
        }
      }
      b.Filled = filled;
      b.Fill = fill;
    }
    out.Bars.push_back(std::move(b));
  }

  int below = p.Bottom;
  for (const GraphLine& l : g.Lines) {
    if (!positioned(l.Value)) continue;
    GraphLayout::Line line;
    line.Y = yOf(l.Value);
    line.X0 = p.Left + 1;
    line.X1 = p.Right;
    line.Colour = l.Colour;
    if (!l.Caption.empty()) line.Caption = l.Caption + " ";
    line.CaptionRight = p.Right;
    line.CaptionCentreY = (line.Y + below) / 2;
    below = line.Y;
    out.Lines.push_back(std::move(line));
  }
  return out;
}

}  // namespace ks
