#include "core/tables/table_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#include "core/tables/table_grid.h"
#include "core/tables/table_name.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace yex {
namespace fs = std::filesystem;
namespace {

std::FILE* Open(const std::string& path, const char* mode) {
#ifdef _WIN32
  const std::wstring wide = PathOf(path).wstring();
  std::wstring wmode(mode, mode + std::char_traits<char>::length(mode));
  return _wfopen(wide.c_str(), wmode.c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

// Temporary files of a save are ".yex-HHHHHHHH-RRRRRRRR.tmp": short whatever
// the table's name, H naming the target (its name without case), R random.
constexpr const char* kTempPrefix = ".yex-";
constexpr const char* kTempSuffix = ".tmp";

std::string Hex8(std::uint32_t v) {
  char buf[9];
  std::snprintf(buf, sizeof buf, "%08x", static_cast<unsigned>(v));
  return buf;
}

std::string TargetTag(const std::string& file) {
  std::uint32_t h = 2166136261u;  // FNV-1a
  for (const char c : AsciiLower(file)) h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
  return Hex8(h);
}

std::uint32_t RandomWord() {
  static std::mt19937 engine{std::random_device{}()};
  return static_cast<std::uint32_t>(engine());
}

// An open temporary file that only this save uses.
struct Temp {
  std::string path;
  int fd = -1;
};

#ifdef _WIN32
int OpenExclusive(const std::string& path) {
  return _wopen(PathOf(path).wstring().c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY,
                _S_IREAD | _S_IWRITE);
}
bool WriteAll(int fd, const std::string& s) {
  return _write(fd, s.data(), static_cast<unsigned>(s.size())) == static_cast<int>(s.size()) &&
         _commit(fd) == 0;
}
void CloseFd(int fd) { _close(fd); }
void RemoveFile(const std::string& path) { _wremove(PathOf(path).wstring().c_str()); }
// Windows refuses to delete a file another save has open: only left-overs go.
void RemoveIfLeftOver(const std::string& path) { RemoveFile(path); }
bool Claim(Temp*) { return true; }
#else
int OpenExclusive(const std::string& path) {
  return ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
}
bool WriteAll(int fd, const std::string& s) {
  std::size_t done = 0;
  while (done < s.size()) {
    const ssize_t n = ::write(fd, s.data() + done, s.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return ::fsync(fd) == 0;
}
void CloseFd(int fd) { ::close(fd); }
void RemoveFile(const std::string& path) { ::unlink(path.c_str()); }
// A save holds a lock on its temporary file until it is done; a file whose
// lock can be taken belongs to a save that was killed.
void RemoveIfLeftOver(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return;
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) ::unlink(path.c_str());
  ::close(fd);
}
// Locks the new temporary file; false when a cleaner removed it in between
// (then another name is tried).
bool Claim(Temp* t) {
  while (::flock(t->fd, LOCK_EX) != 0)
    if (errno != EINTR) return false;
  struct stat mine, there;
  return ::fstat(t->fd, &mine) == 0 && ::lstat(t->path.c_str(), &there) == 0 && mine.st_ino == there.st_ino &&
         mine.st_dev == there.st_dev;
}
#endif

// Removes what killed saves of `file` left in `folder`: ours, and the
// ".FILE.tmpN" of earlier versions.
void RemoveLeftOvers(const fs::path& folder, const std::string& file) {
  const std::string ours = kTempPrefix + TargetTag(file) + "-", old = "." + file + ".tmp";
  std::error_code ec;
  for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().u8string();
    const bool mine = name.compare(0, ours.size(), ours) == 0 && name.size() > ours.size() + 4 &&
                      name.compare(name.size() - 4, 4, kTempSuffix) == 0;
    const bool earlier = name.compare(0, old.size(), old) == 0 && name.size() > old.size() &&
                         name.find_first_not_of("0123456789", old.size()) == std::string::npos;
    if (mine || earlier) RemoveIfLeftOver(it->path().u8string());
  }
}

bool CreateTemp(const fs::path& folder, const std::string& file, Temp* t) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string name = kTempPrefix + TargetTag(file) + "-" + Hex8(RandomWord()) + kTempSuffix;
    t->path = (folder / PathOf(name)).u8string();
    t->fd = OpenExclusive(t->path);
    if (t->fd < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    if (Claim(t)) return true;
    CloseFd(t->fd);
  }
  return false;
}

// Moves the temporary file onto the target: replacing it, or only when no
// file of that name exists at that moment (0, or the errno).
int Move(const std::string& temp, const std::string& target, bool replace) {
#ifdef _WIN32
  const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
  if (MoveFileExW(PathOf(temp).wstring().c_str(), PathOf(target).wstring().c_str(), flags)) return 0;
  const DWORD e = GetLastError();
  return e == ERROR_ALREADY_EXISTS || e == ERROR_FILE_EXISTS ? EEXIST : EIO;
#else
  if (replace) return ::rename(temp.c_str(), target.c_str()) == 0 ? 0 : errno;
#if defined(__linux__) && defined(RENAME_NOREPLACE)
  if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return errno;
#elif defined(__APPLE__)
  if (::renamex_np(temp.c_str(), target.c_str(), RENAME_EXCL) == 0) return 0;
  if (errno != EINVAL && errno != ENOTSUP) return errno;
#endif
  // A hard link is created only where no file is.
  if (::link(temp.c_str(), target.c_str()) == 0) {
    ::unlink(temp.c_str());
    return 0;
  }
  if (errno == EEXIST) return EEXIST;
  // No hard links on this file system: claim the name with an empty file,
  // then put the table over it.
  const int fd = ::open(target.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) return errno;
  ::close(fd);
  if (::rename(temp.c_str(), target.c_str()) == 0) return 0;
  const int e = errno;
  ::unlink(target.c_str());
  return e;
#endif
}

}  // namespace

std::string SystemReason(int error) {
  // A short write sets no error: the disk is full.
  return std::generic_category().message(error ? error : ENOSPC);
}

std::FILE* OpenFile(const std::string& path, const char* mode) { return Open(path, mode); }

fs::path PathOf(const std::string& utf8) {
#ifdef _WIN32
  return fs::u8path(utf8);
#else
  return fs::path(utf8);
#endif
}

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return fs::is_directory(PathOf(path), ec);
}

bool IsFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(PathOf(path), ec);
}

bool IsThere(const std::string& path) {
  std::error_code ec;
  const fs::file_status st = fs::symlink_status(PathOf(path), ec);
  return ec ? ec != std::errc::no_such_file_or_directory : fs::exists(st);
}

bool ReadTableFile(const std::string& path, Reading reading, ScatteringTable* table, ErrorKind* kind,
                   TableProblem* problem) {
  std::error_code ec;
  const fs::file_status st = fs::status(PathOf(path), ec);
  *problem = {};
  // A loop of links, or a folder that may not be searched, is no missing file.
  if (ec && ec != std::errc::no_such_file_or_directory) {
    *kind = ErrorKind::Io;
    problem->reason = "it cannot be reached (" + ec.message() + ")";
    return false;
  }
  if (!fs::exists(st)) {
    *kind = ErrorKind::MissingTable;
    problem->reason = "the file does not exist";
    return false;
  }
  if (!fs::is_regular_file(st)) {
    *kind = ErrorKind::Io;
    problem->reason = "it is not a file";
    return false;
  }
  std::FILE* f = Open(path, "rb");
  if (!f) {
    *kind = ErrorKind::Io;
    problem->reason = "it cannot be opened (" + SystemReason(errno) + ")";
    return false;
  }
  // Leniently only as far as the 45th line end; strictly the whole file,
  // up to the most a table may hold (one byte more shows it is larger).
  std::string bytes;
  char chunk[65536];
  for (;;) {
    const std::size_t n = std::fread(chunk, 1, sizeof chunk, f);
    if (n == 0) {
      if (std::ferror(f)) {
        std::fclose(f);
        *kind = ErrorKind::Io;
        problem->reason = "it cannot be read (" + SystemReason(errno) + ")";
        return false;
      }
      break;
    }
    bytes.append(chunk, n);
    if (reading == Reading::Strict) {
      if (bytes.size() > kMaxTableFileBytes) break;
      continue;
    }
    const std::size_t end = EndOfLastTableLine(bytes);
    if (end != std::string::npos) {
      bytes.resize(end);
      break;
    }
  }
  std::fclose(f);
  *kind = ErrorKind::UnreadableData;
  if (reading == Reading::Strict) {
    if (bytes.size() > kMaxTableFileBytes) {
      problem->reason =
          "it holds more than " + std::to_string(kMaxTableFileBytes) + " bytes, far more than a table";
      return false;
    }
    return ParseTableStrict(bytes, *table, problem);
  }
  return ParseTableBytes(bytes, *table, &problem->reason);
}

ScatteringTable ReadTableFile(const std::string& path) {
  ScatteringTable t;
  ErrorKind kind = ErrorKind::Io;
  TableProblem problem;
  if (ReadTableFile(path, Reading::Strict, &t, &kind, &problem)) return t;
  if (kind == ErrorKind::MissingTable) Fail(kind, "no table " + path);
  Fail(kind, DescribeProblem(path, problem));
}

void WriteTableFile(const std::string& path, const ScatteringTable& table, Existing existing) {
  std::string content;
  if (table.rows() != TableRowCount) Fail(ErrorKind::Usage, path + ": " + TableFileMisfit(table));
  if (!FormatTable(table, &content))
    Fail(ErrorKind::UnreadableData, path + ": the table holds a value that is not a finite number");
  const fs::path target = PathOf(path);
  const bool replace = existing == Existing::Replace;
  std::error_code ec;
  const fs::file_status st = fs::status(target, ec);
  if (fs::exists(st)) {
    if (!replace) Fail(ErrorKind::Exists, path + " already exists");
    // An existing table is replaced only where it could be written in
    // place: renaming over a read-only file would bypass its protection.
    std::FILE* probe = fs::is_regular_file(st) ? Open(path, "ab") : nullptr;
    if (!probe) Fail(ErrorKind::Io, path + ": the existing file cannot be replaced");
    std::fclose(probe);
  }
  // The temporary file sits beside the target: the same file system, so the
  // rename is atomic; its name starts with "." so no list shows it.
  const fs::path folder = target.parent_path();
  if (!IsFolder(folder.empty() ? "." : folder.u8string())) Fail(ErrorKind::Io, path + ": no such folder");
  const std::string file = target.filename().u8string();
  RemoveLeftOvers(folder, file);
  Temp temp;
  if (!CreateTemp(folder, file, &temp))
    Fail(ErrorKind::Io, path + ": the folder cannot be written (" + SystemReason(errno) + ")");
  bool ok = WriteAll(temp.fd, content);
  const int writeError = ok ? 0 : errno;
#ifdef _WIN32
  // Windows moves only a closed file.
  CloseFd(temp.fd);
  temp.fd = -1;
#endif
  if (ok && fs::exists(st)) fs::permissions(PathOf(temp.path), st.permissions(), ec);
  const int moved = ok ? Move(temp.path, path, replace) : EIO;
  if (moved != 0) RemoveFile(temp.path);
  if (temp.fd >= 0) CloseFd(temp.fd);
  if (!ok) Fail(ErrorKind::Io, path + ": the file cannot be written (" + SystemReason(writeError) + ")");
  if (moved == EEXIST) Fail(ErrorKind::Exists, path + " already exists");
  if (moved != 0)
    Fail(ErrorKind::Io, path + ": the file cannot be " + (replace ? "replaced" : "created") + " (" +
                            SystemReason(moved) + ")");
}

#ifdef _WIN32
// Windows' names are compared without case already: the exclusive move
// alone keeps one table a name.
FolderLock::FolderLock(const std::string&) {}
FolderLock::~FolderLock() {}
#else
FolderLock::FolderLock(const std::string& folder) {
  fd_ = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) return;  // the save reports a missing or closed folder itself
  while (::flock(fd_, LOCK_EX) != 0)
    if (errno != EINTR) break;
}
FolderLock::~FolderLock() {
  if (fd_ >= 0) ::close(fd_);
}
#endif

std::vector<std::string> ListTableFiles(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(PathOf(folder), ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().u8string();
    if (!IsStoredTableFileName(name) || !HasTableExtension(name)) continue;
    std::error_code fe;
    if (fs::is_regular_file(it->path(), fe)) names.push_back(name);
  }
  std::sort(names.begin(), names.end(), TableNameBefore);
  return names;
}

}  // namespace yex
