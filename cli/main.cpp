// Starts the command-line companion; everything happens in cli::Run.
#include <string>
#include <vector>

#include "cli/cli.h"

#ifdef _WIN32
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
#ifdef _WIN32
  // The arguments as UTF-8 whatever the code page, and the streams' bytes as
  // written: the same output as on any other system.
  int n = 0;
  if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &n)) {
    args.clear();
    for (int i = 1; i < n; ++i) {
      const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
      std::string a(bytes > 0 ? static_cast<std::size_t>(bytes - 1) : 0, '\0');
      if (bytes > 1) WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, a.data(), bytes, nullptr, nullptr);
      args.push_back(a);
    }
    LocalFree(wide);
  }
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
#endif
  return yex::cli::Run(args);
}
