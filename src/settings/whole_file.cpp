#include "settings/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <random>
#include <system_error>

namespace zynta::settings {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kTempSuffix = ".tmp";
constexpr std::size_t kRandomDigits = 12;

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t put = ::write(fd, data.data(), data.size());
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    data.remove_prefix(static_cast<std::size_t>(put));
  }
  return true;
}

std::string RandomSuffix() {
  thread_local std::mt19937_64 generator{std::random_device{}()};
  constexpr std::string_view kDigits = "0123456789abcdef";
  std::uint64_t bits = generator();
  std::string suffix(kRandomDigits, '0');
  for (char& c : suffix) {
    c = kDigits[bits & 0xF];
    bits >>= 4;
  }
  return suffix;
}

// Whether `name` is "<target>.<12 hex digits>.tmp", the pattern OpenTempBeside makes.
bool IsOurTemporary(std::string_view name, std::string_view target) {
  if (name.size() != target.size() + 1 + kRandomDigits + kTempSuffix.size()) return false;
  if (!name.starts_with(target) || name[target.size()] != '.' || !name.ends_with(kTempSuffix)) return false;
  const std::string_view digits = name.substr(target.size() + 1, kRandomDigits);
  return digits.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

// Creates "<name>.<random>.tmp" beside `target`; returns the open descriptor. The file starts
// private when it replaces an existing one, so that it never shows the text to more readers
// than the old file did; a new file gets the usual mode through the umask.
int OpenTempBeside(const fs::path& target, bool replacing, fs::path& temp) {
  const mode_t mode = replacing ? 0600 : 0666;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = target.parent_path() / (target.filename().string() + "." + RandomSuffix() + std::string(kTempSuffix));
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

void SyncFolder(const fs::path& target) {
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::optional<std::string> ReadWholeFile(const fs::path& path) {
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return std::nullopt;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  std::string text;
  char buffer[16384];
  ssize_t got = 0;
  while ((got = ::read(fd, buffer, sizeof buffer)) != 0) {
    if (got > 0) text.append(buffer, static_cast<std::size_t>(got));
    if (got < 0 && errno != EINTR) break;
    if (text.size() > MaxSettingsBytes) break;  // the file grows while it is read
  }
  ::close(fd);
  if (got < 0) return std::nullopt;
  if (text.size() > MaxSettingsBytes) return std::string();
  return text;
}

fs::path WriteTargetOf(const fs::path& path) {
  std::error_code error;
  if (!fs::is_symlink(path, error)) return path;
  const fs::path resolved = fs::canonical(path, error);
  if (error || !fs::is_regular_file(resolved, error)) return path;
  return resolved;
}

bool ReplaceWholeFile(const fs::path& target, std::string_view text) {
  struct stat old {};
  const bool replacing = ::stat(target.c_str(), &old) == 0;
  if (!replacing && errno != ENOENT) return false;
  fs::path temp;
  const int fd = OpenTempBeside(target, replacing, temp);
  if (fd < 0) return false;
  bool ok = (!replacing || ::fchmod(fd, old.st_mode & 07777) == 0) && WriteAll(fd, text) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  if (ok) SyncFolder(target);
  return ok;
}

void RemoveStaleTemporaries(const fs::path& target, int minimumAge) {
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  const std::string name = target.filename().string();
  const auto now = fs::file_time_type::clock::now();
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const fs::path& entry = it->path();
    if (!IsOurTemporary(entry.filename().string(), name)) continue;
    std::error_code entryError;
    if (!fs::is_regular_file(fs::symlink_status(entry, entryError))) continue;
    const auto written = fs::last_write_time(entry, entryError);
    if (entryError || now - written < std::chrono::seconds(minimumAge)) continue;
    fs::remove(entry, entryError);
  }
}

}  // namespace zynta::settings
