#include "tests/core/support.h"

#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/tables/table_format.h"

namespace yex::test {

double GridX(int row) {
  if (row < 1 || row > 45) {
    std::fprintf(stderr, "GridX: row %d outside 1..45\n", row);
    std::abort();
  }
  static const double grid[45] = {0,     0.005, 0.01,  0.015, 0.02, 0.025, 0.03, 0.04, 0.05, 0.07, 0.09, 0.1,
                                  0.125, 0.15,  0.175, 0.2,   0.25, 0.3,   0.4,  0.5,  0.6,  0.7,  0.8,  0.9,
                                  1,     1.25,  1.5,   2,     2.5,  3,     3.5,  4,    5,    6,    7,    8,
                                  10,    15,    20,    50,    80,   100,   1000, 1e6,  1e9};
  return grid[row - 1];
}

Row ElementRow(int row, double z) {
  const double x = GridX(row);
  const double f = z / (1.0 + 3.0 * x * x);
  const double s = row == 1 ? 0.0 : z * (1.0 - std::exp(-4.0 * x * x)) + 1e-4 * z;
  return {x, f, s};
}

double LogLog(double x1, double y1, double x2, double y2, double q) {
  return y1 * std::pow(q / x1, std::log(y2 / y1) / std::log(x2 / x1));
}

std::string TableText(const std::function<Row(int)>& row, int lines) {
  std::string out;
  for (int r = 1; r <= lines; ++r) {
    const Row v = row(r);
    out += FormatTableLine(v.x, v.f, v.s) + "\r\n";
  }
  return out;
}

std::vector<Row> ReadBackText(const std::string& bytes) {
  std::vector<Row> rows;
  std::size_t at = 0;
  while (at < bytes.size()) {
    std::size_t lf = bytes.find('\n', at);
    if (lf == std::string::npos) lf = bytes.size();
    std::string l = bytes.substr(at, lf - at);
    at = lf + 1;
    if (!l.empty() && l.back() == '\r') l.pop_back();
    if (l.empty()) continue;
    auto field = [&](std::size_t start, std::size_t len) {
      return start < l.size() ? std::strtod(l.substr(start, len).c_str(), nullptr) : 0.0;
    };
    rows.push_back({field(0, 10), field(10, 12), field(22, 12)});
  }
  return rows;
}

namespace fs = std::filesystem;

WorkFolder::WorkFolder() : previous_(fs::current_path().string()) {
  std::string pattern = (fs::temp_directory_path() / "yex-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) std::abort();
  root_ = pattern;
  fs::create_directory(fs::path(root_) / "YEX-data");
  fs::current_path(root_);
}

WorkFolder::~WorkFolder() {
  fs::current_path(previous_);
  std::error_code ec;
  fs::remove_all(root_, ec);
}

std::string WorkFolder::Data(const std::string& name) const { return root_ + "/YEX-data/" + name; }

void WorkFolder::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream(Data(name), std::ios::binary) << bytes;
}

void WorkFolder::WriteElement(const std::string& name, double z, double xScale) const {
  Write(name, TableText([z, xScale](int r) {
          Row v = ElementRow(r, z);
          v.x *= xScale;
          return v;
        }));
}

extern "C" char** environ;

const char* YexCliPath() { return YEX_CLI_PATH; }

CliRun RunYexCli(const std::vector<std::string>& args, const std::string& input) {
  signal(SIGPIPE, SIG_IGN);  // a program that stops reading is no failure here
  int in[2], out[2], err[2];
  if (pipe(in) || pipe(out) || pipe(err)) std::abort();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]})
    posix_spawn_file_actions_addclose(&actions, fd);
  std::vector<std::string> argv{YEX_CLI_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> cargv;
  for (std::string& a : argv) cargv.push_back(a.data());
  cargv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, YEX_CLI_PATH, &actions, nullptr, cargv.data(), environ) != 0) std::abort();
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  close(out[1]);
  close(err[1]);
  // Feed the input and drain both outputs together, so neither side blocks.
  CliRun r;
  std::size_t fed = 0;
  int writer = in[1];
  if (input.empty()) close(writer), writer = -1;
  bool outOpen = true, errOpen = true;
  char buf[65536];
  while (outOpen || errOpen || writer >= 0) {
    pollfd fds[3] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}, {writer, POLLOUT, 0}};
    if (!outOpen) fds[0].fd = -1;
    if (!errOpen) fds[1].fd = -1;
    if (poll(fds, 3, -1) < 0 && errno != EINTR) std::abort();
    for (int k = 0; k < 2; ++k) {
      if (!(fds[k].revents & (POLLIN | POLLHUP))) continue;
      const ssize_t n = read(fds[k].fd, buf, sizeof buf);
      if (n > 0) {
        (k == 0 ? r.out : r.err).append(buf, static_cast<std::size_t>(n));
      } else {
        close(fds[k].fd);
        (k == 0 ? outOpen : errOpen) = false;
      }
    }
    if (writer >= 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
      const ssize_t n = fds[2].revents & POLLOUT ? write(writer, input.data() + fed, input.size() - fed) : -1;
      if (n > 0) fed += static_cast<std::size_t>(n);
      if (n <= 0 || fed == input.size()) close(writer), writer = -1;
    }
  }
  int status = 0;
  waitpid(pid, &status, 0);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

void CopyShipped(const std::string& symbol) {
  fs::copy_file(fs::path(YEX_SHIPPED_DATA) / (symbol + ".yex"), fs::path("YEX-data") / (symbol + ".yex"),
                fs::copy_options::overwrite_existing);
}

std::vector<std::string> Cat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::vector<std::string> Split(const std::string& text, char sep) {
  std::vector<std::string> parts;
  if (text.empty()) return parts;
  std::size_t at = 0;
  for (;;) {
    const std::size_t next = text.find(sep, at);
    parts.push_back(text.substr(at, next == std::string::npos ? std::string::npos : next - at));
    if (next == std::string::npos) return parts;
    at = next + 1;
  }
}

}  // namespace yex::test
