// The bar chart of the statistics, result and monitor pages as data, and where each of its
// parts goes. The control that shows it only paints what GraphLayout computed, so the
// arithmetic is tested without a screen.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ks {

using Rgb = uint32_t;  // 0xRRGGBB

namespace graphcolour {
constexpr Rgb PlotBackground = 0xE7FFC5;
constexpr Rgb Reference = 0x84AF54;  // reference lines and their captions
constexpr Rgb Amber = 0xFFD21D;
constexpr Rgb LightBlue = 0xA7B4F7;
constexpr Rgb Red = 0xFF014F;
}  // namespace graphcolour

struct GraphBar {
  std::string Label;  // 1252
  double Value = 0;   // below the axis minimum: an empty slot
  bool Highlighted = false;
};

struct GraphLine {
  std::string Caption;  // 1252; empty: no caption
  Rgb Colour = graphcolour::Reference;
  double Value = 0;
};

struct GraphModel {
  std::vector<GraphBar> Bars;
  std::vector<GraphLine> Lines;  // ascending by value
  float Minimum = 0, Maximum = 100, Step = 20;
  int Style = 1;  // 0 line graph, 1 bar graph
  bool BarLabels = true, ValueLabels = true, TickMarks = true, FirstTickLabel = true,
       ColourBars = true;
  Rgb Background = graphcolour::PlotBackground;
  int Width = 400, Height = 250;
  int Left = 0, Top = 0;

  void AddBar(std::string label, double value, bool highlighted = false);
  // Kept sorted: a new line goes before the first line whose value is not smaller.
  void AddLine(std::string caption, Rgb colour, double value);
};

// Text measures of the font the control paints with, in pixels.
struct GraphFont {
  int Points = 8;
  int Height = 13;
  std::function<int(const std::string& text, bool bold)> Width;
};

struct GraphRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

struct GraphLayout {
  GraphRect Plot;
  int Slot = 0;  // width of one bar's slot
  struct Tick {
    int Y = 0;
    bool Mark = false;
    std::string Text;  // empty without value labels
    int TextRight = 0;
  };
  std::vector<Tick> Ticks;
  struct Bar {
    int X = 0;  // centre of the slot
    std::string Label;
    bool Bold = false;
    int LabelTop = 0;
    bool Positioned = false;  // has a value on the axis
    int Y = 0;                // of the value
    GraphRect Rect;           // bar style
    bool Filled = false;
    Rgb Fill = 0;
  };
  std::vector<Bar> Bars;
  struct Line {
    int Y = 0;
    int X0 = 0, X1 = 0;
    Rgb Colour = 0;
    std::string Caption;  // with its trailing blank
    int CaptionRight = 0, CaptionCentreY = 0;
  };
  std::vector<Line> Lines;
};

GraphLayout LayoutGraph(const GraphModel& graph, const GraphFont& font);

// A tick's value as shown: whole numbers without decimals.
std::string GraphValueText(double value);

}  // namespace ks
