// Chantler's data in the page: the text the page unpacks from chantler.js
// (tools/pack_chantler_web.py), column by column, turned back into one
// block an element as the other front ends have it built in.
#include <memory>
#include <string>
#include <vector>

#include "core/error.h"
#include "core/physics/dispersion.h"

namespace yex {
namespace {

std::vector<std::string>& Blocks() {
  static std::vector<std::string> blocks;
  return blocks;
}

const char* BlockOf(int z) {
  const std::vector<std::string>& b = Blocks();
  if (b.empty()) Fail(ErrorKind::MissingTable, "Chantler's data has not been loaded into the page");
  return z >= 1 && z <= static_cast<int>(b.size()) ? b[static_cast<std::size_t>(z - 1)].c_str() : nullptr;
}

// Made again for each text taken, so that nothing parsed from an earlier
// one stays.
std::unique_ptr<DispersionSource>& Source() {
  static std::unique_ptr<DispersionSource> source =
      std::make_unique<DispersionSource>(BlockOf, std::vector<std::string>());
  return source;
}

}  // namespace

const DispersionSource& PageDispersion() { return *Source(); }

// Takes the unpacked text; false when it is not that text.
bool SetChantlerText(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  std::vector<std::string> source, heads;
  std::size_t i = 0, total = 0;
  for (; i < lines.size() && lines[i].rfind("# ", 0) == 0; ++i) source.push_back(lines[i].substr(2));
  for (; i < lines.size() && lines[i].rfind("Z ", 0) == 0; ++i) {
    heads.push_back(lines[i]);
    std::size_t words = 0, at = 0;
    while (words < 3 && (at = lines[i].find(' ', at)) != std::string::npos) ++words, ++at;
    total += std::stoul(lines[i].substr(at));
  }
  if (heads.empty() || lines.size() - i != 4 * total) return false;
  std::vector<std::string> blocks;
  std::size_t row = 0;
  for (const std::string& head : heads) {
    std::size_t words = 0, at = 0;
    while (words < 3 && (at = head.find(' ', at)) != std::string::npos) ++words, ++at;
    const std::size_t n = std::stoul(head.substr(at));
    std::string b = head + "\n";
    for (std::size_t r = row; r < row + n; ++r)
      for (int c = 0; c < 4; ++c) b += lines[i + c * total + r] + (c < 3 ? " " : "\n");
    row += n;
    blocks.push_back(std::move(b));
  }
  Blocks() = std::move(blocks);
  Source() = std::make_unique<DispersionSource>(BlockOf, std::move(source));
  return true;
}

}  // namespace yex
