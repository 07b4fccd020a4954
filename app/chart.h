// The log-log chart of F(x) and S(x), written against a few drawing
// primitives in user coordinates (left -2, top 14, width 16, height -15.5).
#pragma once

#include <string>

#include "app/module1.h"

namespace yex {

// RGB (0xRRGGBB) of an entry of the standard 16-colour palette.
unsigned QBColor(int index);

// The drawing surface's operations, all in user coordinates.
class ChartSurface {
 public:
  virtual ~ChartSurface() = default;
  virtual void Cls() = 0;
  virtual void SetDrawWidth(int pixels) = 0;
  virtual void Line(double x1, double y1, double x2, double y2, unsigned rgb) = 0;
  // Line from the current point; the end becomes the current point.
  virtual void LineTo(double x, double y, unsigned rgb) = 0;
  // Sets one point, which becomes the current point.
  virtual void PSet(double x, double y, unsigned rgb) = 0;
  virtual void Box(double x1, double y1, double x2, double y2, unsigned rgb) = 0;
  virtual void FilledBox(double x1, double y1, double x2, double y2, unsigned rgb) = 0;
  virtual void SetFontSize(double points) = 0;
  virtual void SetForeColor(unsigned rgb) = 0;
  virtual void SetTextPos(double left, double top) = 0;
  // Prints at the text position; staying on the line moves the position
  // right by the text's width, otherwise the line ends.
  virtual void Print(const std::string& text, bool stayOnLine) = 0;
};

// Chart position of a table value: ln(1000 v).
double ChartCoordinate(double v);

// Draws the chart of rows 2..45. A row whose x or value cannot be placed
// (zero, negative, not finite) is left out of that curve, which resumes at the
// next drawable row.
void DrawChart(ChartSurface& surface, const RowValues& x, const RowValues& f, const RowValues& s);

}  // namespace yex
