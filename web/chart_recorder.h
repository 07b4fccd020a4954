// A drawing surface that records the chart's operations for the page's
// <canvas>, which replays them at the screen's resolution.
#pragma once

#include <string>
#include <vector>

#include "core/chart/chart_surface.h"

namespace yex::web {

// Each operation is its code followed by its arguments, all numbers; a
// Print's text is an index into Texts().
enum class Op { Cls, DrawWidth, Line, LineTo, PSet, Box, FilledBox, FontSize, ForeColor, TextPos, Print };
// Each operation's name and how many numbers follow its code, in code order:
// what the page's canvas reads (the module hands it over as the protocol).
struct OpInfo {
  const char* name;
  int arguments;
};
constexpr OpInfo kOps[] = {{"Cls", 0},       {"DrawWidth", 1}, {"Line", 5},      {"LineTo", 3},
                           {"PSet", 3},      {"Box", 5},       {"FilledBox", 5}, {"FontSize", 1},
                           {"ForeColor", 1}, {"TextPos", 2},   {"Print", 2}};

class ChartRecorder : public ChartSurface {
 public:
  void Cls() override { Add(Op::Cls, {}); }
  void SetDrawWidth(int pixels) override { Add(Op::DrawWidth, {static_cast<double>(pixels)}); }
  void Line(double x1, double y1, double x2, double y2, unsigned rgb) override {
    Add(Op::Line, {x1, y1, x2, y2, static_cast<double>(rgb)});
  }
  void LineTo(double x, double y, unsigned rgb) override {
    Add(Op::LineTo, {x, y, static_cast<double>(rgb)});
  }
  void PSet(double x, double y, unsigned rgb) override { Add(Op::PSet, {x, y, static_cast<double>(rgb)}); }
  void Box(double x1, double y1, double x2, double y2, unsigned rgb) override {
    Add(Op::Box, {x1, y1, x2, y2, static_cast<double>(rgb)});
  }
  void FilledBox(double x1, double y1, double x2, double y2, unsigned rgb) override {
    Add(Op::FilledBox, {x1, y1, x2, y2, static_cast<double>(rgb)});
  }
  void SetFontSize(double points) override { Add(Op::FontSize, {points}); }
  void SetForeColor(unsigned rgb) override { Add(Op::ForeColor, {static_cast<double>(rgb)}); }
  void SetTextPos(double left, double top) override { Add(Op::TextPos, {left, top}); }
  void Print(const std::string& text, bool stayOnLine) override {
    texts_.push_back(text);
    Add(Op::Print, {static_cast<double>(texts_.size() - 1), stayOnLine ? 1.0 : 0.0});
  }

  const std::vector<double>& operations() const { return ops_; }
  const std::vector<std::string>& texts() const { return texts_; }

 private:
  void Add(Op op, std::initializer_list<double> args) {
    ops_.push_back(static_cast<double>(op));
    ops_.insert(ops_.end(), args.begin(), args.end());
  }
  std::vector<double> ops_;
  std::vector<std::string> texts_;
};

}  // namespace yex::web
