// The operations of a retained drawing surface with a user coordinate
// system, as the chart uses them. Plain C++, so the chart algorithm builds
// without any toolkit; PainterSurface implements it on a QPainter.
#pragma once

#include <string>

namespace yex {

// RGB (0xRRGGBB) of an entry of the standard 16-colour palette.
inline unsigned QBColor(int index) {
  static const unsigned palette[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                       0x808000, 0xC0C0C0, 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF,
                                       0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};
  return palette[index & 15];
}

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

}  // namespace yex
