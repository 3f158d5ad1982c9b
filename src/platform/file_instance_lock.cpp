// The single-instance lock on a file in a folder of the user's own.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/desktop_services.h"

namespace zynta::platform {

namespace fs = std::filesystem;

namespace {

bool IsPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

bool IsAbsolute(const char* path) { return path && path[0] == '/'; }

// A folder (links followed) that belongs to this user.
bool IsOwnFolder(const std::string& folder) {
  struct stat st {};
  return ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
}

std::string CacheFolder() {
  const char* xdg = std::getenv("XDG_CACHE_HOME");
  if (IsAbsolute(xdg)) return xdg;
  const std::string home = HomeFolder();
  return home.empty() ? std::string() : home + "/.cache";
}

// Why `folder` cannot hold the lock ("" when it can): made 0700 when missing (its parents as
// usual), then it must be a real folder, not a link, and the user's own.
std::string PrepareOwnFolder(const std::string& folder) {
  if (folder.empty()) return "no home folder to keep it in";
  std::error_code ec;
  fs::create_directories(fs::path(folder).parent_path(), ec);
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return std::strerror(errno);
  struct stat st {};
  if (::lstat(folder.c_str(), &st) != 0) return std::strerror(errno);
  if (!S_ISDIR(st.st_mode)) return "its folder is not a folder (a link or a file is in its place)";
  if (st.st_uid != ::geteuid()) return "its folder belongs to another user";
  return {};
}

}  // namespace

std::string FileInstanceLock::DefaultRuntimeFolder() {
  const char* xdg = std::getenv("XDG_RUNTIME_DIR");
  if (IsAbsolute(xdg) && IsOwnFolder(xdg)) return xdg;
  const std::string cache = CacheFolder();
  return cache.empty() ? std::string() : cache + "/zynta";
}

FileInstanceLock::FileInstanceLock() : folder_(DefaultRuntimeFolder()) {}

FileInstanceLock::FileInstanceLock(std::string runtimeFolder) : folder_(std::move(runtimeFolder)) {}

FileInstanceLock::~FileInstanceLock() { Release(); }

bool FileInstanceLock::Fail(const std::string& path, const std::string& reason) {
  failure_ = path + ": " + reason;
  return false;
}

bool FileInstanceLock::Acquire(const std::string& name) {
  failure_.clear();
  if (!IsPlainFileName(name)) return Fail(name, "not a plain file name");
  if (fd_ >= 0 && name == heldName_) return true;
  const std::string path = folder_ + "/" + name + ".lock";
  if (const std::string why = PrepareOwnFolder(folder_); !why.empty()) return Fail(path, why);
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return Fail(path, std::strerror(errno));
  int rc;
  do rc = ::flock(fd, LOCK_EX | LOCK_NB);
  while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    const int error = errno;
    ::close(fd);
    if (error == EWOULDBLOCK) return false;  // another running copy
    return Fail(path, std::strerror(error));
  }
  Release();
  fd_ = fd;
  heldName_ = name;
  return true;
}

void FileInstanceLock::Release() {
  // The file stays: removing it could let a second copy lock a new file while the first still
  // holds the old one.
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  heldName_.clear();
}

}  // namespace zynta::platform
