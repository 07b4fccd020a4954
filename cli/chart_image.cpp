#include "cli/chart_image.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "core/chart/chart.h"
#include "core/chart/chart_surface.h"
#include "core/error.h"

// The two single-file libraries, compiled into this file alone.
#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_STATIC
#include <stb_truetype.h>
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

namespace yex::cli {
namespace {

namespace fs = std::filesystem;

// Points to pixels at 96 dots per inch, as the main window's picture.
double PixelsOfPoints(double points) { return points * 96.0 / 72.0; }
// Keeps absurd coordinates away from the rasteriser.
double Clamp(double v) { return std::max(-1e6, std::min(1e6, v)); }
// The pixel a coordinate falls on, as the window's picture draws lines
// without smoothing: the one whose square holds it.
int Pixel(double v) { return static_cast<int>(std::floor(v)); }

// Unicode code points of UTF-8 text (a stray byte stands for itself).
std::vector<int> CodePoints(const std::string& text) {
  std::vector<int> out;
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const int n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    int cp = n == 1 ? c : c & (0x7f >> n);
    for (int k = 1; k < n && i + static_cast<std::size_t>(k) < text.size(); ++k)
      cp = (cp << 6) | (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0x3f);
    out.push_back(cp);
    i += static_cast<std::size_t>(n);
  }
  return out;
}

// The chart's face: metrics for placing text, and glyphs for the PNG.
class Face {
 public:
  explicit Face(const std::optional<std::string>& file) {
    if (!file) return;
    std::ifstream in(fs::u8path(*file), std::ios::binary);
    bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    const auto* data = reinterpret_cast<const unsigned char*>(bytes_.data());
    ok_ = !bytes_.empty() && stbtt_InitFont(&info_, data, stbtt_GetFontOffsetForIndex(data, 0)) != 0;
  }
  bool ok() const { return ok_; }
  // Qt's metrics of a font of `px` pixels: ascent, and ascent + descent.
  double Ascent(double px) const { return ok_ ? VMetric(px, 0) : 0.891 * px; }
  double Height(double px) const { return ok_ ? VMetric(px, 0) + VMetric(px, 1) : 1.107 * px; }
  double Advance(const std::string& text, double px) const {
    if (!ok_) return 0.5 * px * static_cast<double>(CodePoints(text).size());
    const float scale = stbtt_ScaleForMappingEmToPixels(&info_, static_cast<float>(px));
    double w = 0.0;
    const std::vector<int> cps = CodePoints(text);
    for (std::size_t i = 0; i < cps.size(); ++i) {
      int advance = 0, bearing = 0;
      stbtt_GetCodepointHMetrics(&info_, cps[i], &advance, &bearing);
      w += advance * scale;
      if (i + 1 < cps.size()) w += stbtt_GetCodepointKernAdvance(&info_, cps[i], cps[i + 1]) * scale;
    }
    return w;
  }
  // Calls put(x, y, coverage 0..255) for the glyphs of `text` with its
  // baseline at y0.
  template <typename Put>
  void Draw(const std::string& text, double x0, double y0, double px, const Put& put) const {
    if (!ok_) return;
    const float scale = stbtt_ScaleForMappingEmToPixels(&info_, static_cast<float>(px));
    double x = x0;
    const std::vector<int> cps = CodePoints(text);
    for (std::size_t i = 0; i < cps.size(); ++i) {
      const float shift = static_cast<float>(x - std::floor(x));
      int w = 0, h = 0, ox = 0, oy = 0;
      unsigned char* glyph =
          stbtt_GetCodepointBitmapSubpixel(&info_, scale, scale, shift, 0.0f, cps[i], &w, &h, &ox, &oy);
      const int left = static_cast<int>(std::floor(x)) + ox, top = static_cast<int>(std::lround(y0)) + oy;
      for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c)
          if (glyph[r * w + c]) put(left + c, top + r, glyph[r * w + c]);
      stbtt_FreeBitmap(glyph, nullptr);
      int advance = 0, bearing = 0;
      stbtt_GetCodepointHMetrics(&info_, cps[i], &advance, &bearing);
      x += advance * scale;
      if (i + 1 < cps.size()) x += stbtt_GetCodepointKernAdvance(&info_, cps[i], cps[i + 1]) * scale;
    }
  }

 private:
  double VMetric(double px, int which) const {
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&info_, &ascent, &descent, &gap);
    const double scale = stbtt_ScaleForMappingEmToPixels(&info_, static_cast<float>(px));
    return which == 0 ? std::ceil(ascent * scale) : std::ceil(-descent * scale);
  }
  std::string bytes_;
  stbtt_fontinfo info_{};
  bool ok_ = false;
};

// What both image surfaces keep: the user scale, pen, text and current point.
class ImageSurface : public ChartSurface {
 public:
  ImageSurface(int pixels, const Face& face) : pixels_(pixels), face_(face) {}
  void SetDrawWidth(int pixels) override { width_ = std::max(1, pixels); }
  void LineTo(double x, double y, unsigned rgb) override { Line(curX_, curY_, x, y, rgb); }
  void SetFontSize(double points) override { fontPoints_ = points; }
  void SetForeColor(unsigned rgb) override { fore_ = rgb; }
  void SetTextPos(double left, double top) override {
    curX_ = left;
    curY_ = top;
    NewTextPos();
  }
  void Print(const std::string& text, bool stayOnLine) override {
    const double px = PixelsOfPoints(fontPoints_);
    Text(text, PxX(curX_), PxY(curY_) + face_.Ascent(px), px, stayOnLine);
    if (stayOnLine) {
      curX_ += face_.Advance(text, px) * scale_.width / pixels_;
    } else {
      curX_ = scale_.left;
      curY_ += face_.Height(px) * scale_.height / pixels_;
    }
  }

 protected:
  virtual void Text(const std::string& text, double x, double baseline, double px, bool stayOnLine) = 0;
  virtual void NewTextPos() {}
  double PxX(double x) const { return Clamp((x - scale_.left) / scale_.width * pixels_); }
  double PxY(double y) const { return Clamp((y - scale_.top) / scale_.height * pixels_); }
  void Moved(double x, double y) {
    curX_ = x;
    curY_ = y;
  }
  ChartUserScale scale_ = kChartUserScale;
  int pixels_;
  const Face& face_;
  int width_ = 1;
  double fontPoints_ = 12.0;
  unsigned fore_ = 0xFFFFFF;
  double curX_ = 0.0, curY_ = 0.0;
};

// Pixels in memory, lines without smoothing as the window's picture draws
// them (square caps), text blended by its glyphs' coverage.
class RasterSurface : public ImageSurface {
 public:
  RasterSurface(int pixels, const Face& face, unsigned back)
      : ImageSurface(pixels, face), rgb_(static_cast<std::size_t>(pixels) * pixels * 3), back_(back) {
    Fill(0, 0, pixels, pixels, back);
  }
  void Cls() override {
    Fill(0, 0, pixels_, pixels_, back_);
    Moved(0.0, 0.0);
  }
  void Line(double x1, double y1, double x2, double y2, unsigned rgb) override {
    int ax = Pixel(PxX(x1)), ay = Pixel(PxY(y1));
    const int bx = Pixel(PxX(x2)), by = Pixel(PxY(y2));
    const int dx = std::abs(bx - ax), dy = -std::abs(by - ay), sx = ax < bx ? 1 : -1, sy = ay < by ? 1 : -1;
    int err = dx + dy;
    for (;;) {
      Dot(ax, ay, rgb);
      if (ax == bx && ay == by) break;
      const int e2 = 2 * err;
      if (e2 >= dy) err += dy, ax += sx;
      if (e2 <= dx) err += dx, ay += sy;
    }
    Moved(x2, y2);
  }
  void PSet(double x, double y, unsigned rgb) override {
    Dot(Pixel(PxX(x)), Pixel(PxY(y)), rgb);
    Moved(x, y);
  }
  void Box(double x1, double y1, double x2, double y2, unsigned rgb) override {
    Line(x1, y1, x2, y1, rgb);
    Line(x2, y1, x2, y2, rgb);
    Line(x2, y2, x1, y2, rgb);
    Line(x1, y2, x1, y1, rgb);
  }
  void FilledBox(double x1, double y1, double x2, double y2, unsigned rgb) override {
    // The fill covers its outline too, drawn with the current pen width.
    const double h = width_ / 2.0;
    const double l = std::min(PxX(x1), PxX(x2)) - h, r = std::max(PxX(x1), PxX(x2)) + h;
    const double t = std::min(PxY(y1), PxY(y2)) - h, b = std::max(PxY(y1), PxY(y2)) + h;
    Fill(static_cast<int>(std::lround(l)), static_cast<int>(std::lround(t)), static_cast<int>(std::lround(r)),
         static_cast<int>(std::lround(b)), rgb);
    Moved(x2, y2);
  }
  std::string Png() const {
    std::string out;
    stbi_write_png_to_func(
        [](void* context, void* data, int size) {
          static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                                     static_cast<std::size_t>(size));
        },
        &out, pixels_, pixels_, 3, rgb_.data(), pixels_ * 3);
    return out;
  }

 protected:
  void Text(const std::string& text, double x, double baseline, double px, bool) override {
    face_.Draw(text, x, baseline, px,
               [this](int cx, int cy, int coverage) { Blend(cx, cy, fore_, coverage); });
  }

 private:
  void Set(int x, int y, unsigned rgb) { Blend(x, y, rgb, 255); }
  void Blend(int x, int y, unsigned rgb, int alpha) {
    if (x < 0 || y < 0 || x >= pixels_ || y >= pixels_) return;
    unsigned char* p = &rgb_[(static_cast<std::size_t>(y) * pixels_ + x) * 3];
    const int c[3] = {static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                      static_cast<int>(rgb & 0xFF)};
    for (int k = 0; k < 3; ++k)
      p[k] = static_cast<unsigned char>((c[k] * alpha + p[k] * (255 - alpha) + 127) / 255);
  }
  // One pen dot: a square of the pen's width centred on the pixel.
  void Dot(int x, int y, unsigned rgb) {
    const int lo = -(width_ / 2), hi = lo + width_ - 1;
    for (int dy = lo; dy <= hi; ++dy)
      for (int dx = lo; dx <= hi; ++dx) Set(x + dx, y + dy, rgb);
  }
  void Fill(int l, int t, int r, int b, unsigned rgb) {
    for (int y = std::max(0, t); y < std::min(pixels_, b); ++y)
      for (int x = std::max(0, l); x < std::min(pixels_, r); ++x) Set(x, y, rgb);
  }
  std::vector<unsigned char> rgb_;
  unsigned back_;
};

std::string Colour(unsigned rgb) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%06x", rgb & 0xFFFFFF);
  return buf;
}

std::string Number(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", v);
  return buf;
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (c == '&')
      out += "&amp;";
    else if (c == '<')
      out += "&lt;";
    else if (c == '>')
      out += "&gt;";
    else if (c == '"')
      out += "&quot;";
    else
      out += c;
  }
  return out;
}

// SVG elements written as the chart draws; text that stays on its line
// continues the same <text>, so a viewer's own font keeps "10" and its
// exponent together.
class SvgSurface : public ImageSurface {
 public:
  SvgSurface(int pixels, const Face& face, unsigned back, const std::string& title)
      : ImageSurface(pixels, face), back_(back) {
    const std::string n = std::to_string(pixels);
    body_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
            n + "\" height=\"" + n + "\" viewBox=\"0 0 " + n + " " + n + "\">\n<title>" + Escaped(title) +
            "</title>\n";
    Cls();
  }
  void Cls() override {
    CloseText();
    body_ += "<rect x=\"0\" y=\"0\" width=\"" + std::to_string(pixels_) + "\" height=\"" +
             std::to_string(pixels_) + "\" fill=\"" + Colour(back_) + "\"/>\n";
    Moved(0.0, 0.0);
  }
  void Line(double x1, double y1, double x2, double y2, unsigned rgb) override {
    CloseText();
    body_ += "<line x1=\"" + Number(PxX(x1)) + "\" y1=\"" + Number(PxY(y1)) + "\" x2=\"" + Number(PxX(x2)) +
             "\" y2=\"" + Number(PxY(y2)) + "\" stroke=\"" + Colour(rgb) + "\" stroke-width=\"" +
             std::to_string(width_) + "\" stroke-linecap=\"square\"/>\n";
    Moved(x2, y2);
  }
  void PSet(double x, double y, unsigned rgb) override {
    CloseText();
    const double w = width_;
    body_ += "<rect x=\"" + Number(PxX(x) - w / 2) + "\" y=\"" + Number(PxY(y) - w / 2) + "\" width=\"" +
             Number(w) + "\" height=\"" + Number(w) + "\" fill=\"" + Colour(rgb) + "\"/>\n";
    Moved(x, y);
  }
  void Box(double x1, double y1, double x2, double y2, unsigned rgb) override {
    CloseText();
    body_ += "<rect x=\"" + Number(std::min(PxX(x1), PxX(x2))) + "\" y=\"" +
             Number(std::min(PxY(y1), PxY(y2))) + "\" width=\"" + Number(std::fabs(PxX(x2) - PxX(x1))) +
             "\" height=\"" + Number(std::fabs(PxY(y2) - PxY(y1))) + "\" fill=\"none\" stroke=\"" +
             Colour(rgb) + "\" stroke-width=\"" + std::to_string(width_) + "\"/>\n";
    Moved(x2, y2);
  }
  void FilledBox(double x1, double y1, double x2, double y2, unsigned rgb) override {
    CloseText();
    const double h = width_ / 2.0;
    body_ += "<rect x=\"" + Number(std::min(PxX(x1), PxX(x2)) - h) + "\" y=\"" +
             Number(std::min(PxY(y1), PxY(y2)) - h) + "\" width=\"" +
             Number(std::fabs(PxX(x2) - PxX(x1)) + 2 * h) + "\" height=\"" +
             Number(std::fabs(PxY(y2) - PxY(y1)) + 2 * h) + "\" fill=\"" + Colour(rgb) + "\"/>\n";
    Moved(x2, y2);
  }
  std::string Document() {
    CloseText();
    return body_ + "</svg>\n";
  }

 protected:
  void Text(const std::string& text, double x, double baseline, double px, bool stayOnLine) override {
    const std::string span = "font-size=\"" + Number(px) + "\" fill=\"" + Colour(fore_) + "\"";
    if (open_) {
      // Tops aligned, as the picture prints a smaller size on the same line.
      body_ +=
          "<tspan dy=\"" + Number(baseline - openBaseline_) + "\" " + span + ">" + Escaped(text) + "</tspan>";
    } else {
      body_ +=
          "<text x=\"" + Number(x) + "\" y=\"" + Number(baseline) +
          "\" xml:space=\"preserve\" font-family=\"'Times New Roman', 'Liberation Serif', serif\"><tspan " +
          span + ">" + Escaped(text) + "</tspan>";
      open_ = true;
    }
    openBaseline_ = baseline;
    if (!stayOnLine) CloseText();
  }
  void NewTextPos() override { CloseText(); }

 private:
  void CloseText() {
    if (!open_) return;
    body_ += "</text>\n";
    open_ = false;
  }
  std::string body_;
  unsigned back_;
  bool open_ = false;
  double openBaseline_ = 0.0;
};

}  // namespace

std::optional<std::string> ChartFontFile() {
  std::vector<std::string> candidates;
  if (const char* own = std::getenv("YEX_FONT")) candidates.push_back(own);
#ifdef _WIN32
  if (const char* windir = std::getenv("WINDIR"))
    candidates.push_back(std::string(windir) + "\\Fonts\\times.ttf");
  candidates.push_back("C:\\Windows\\Fonts\\times.ttf");
#endif
  for (const char* f :
       {"/usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf",
        "/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf",
        "/usr/share/fonts/truetype/msttcorefonts/Times_New_Roman.ttf", "/Library/Fonts/Times New Roman.ttf",
        "/System/Library/Fonts/Supplemental/Times New Roman.ttf"})
    candidates.push_back(f);
  std::error_code ec;
  for (const std::string& c : candidates)
    if (fs::is_regular_file(fs::u8path(c), ec)) return c;
  return std::nullopt;
}

std::string ChartPng(const RowValues& x, const RowValues& f, const RowValues& s, int pixels) {
  const std::optional<std::string> file = ChartFontFile();
  const Face face(file);
  if (!face.ok())
    Fail(ErrorKind::Io,
         "no font for the chart's text (Times New Roman or Liberation Serif; YEX_FONT names "
         "another); an SVG needs none");
  RasterSurface surface(pixels, face, QBColor(kChartBackground));
  DrawChart(surface, x, f, s);
  return surface.Png();
}

std::string ChartSvg(const RowValues& x, const RowValues& f, const RowValues& s, int pixels,
                     const std::string& title) {
  const Face face(ChartFontFile());
  SvgSurface surface(pixels, face, QBColor(kChartBackground), title);
  DrawChart(surface, x, f, s);
  return surface.Document();
}

}  // namespace yex::cli
