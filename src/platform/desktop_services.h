#pragma once
// The Linux desktop services that need no widgets: HTTP through libcurl, the single-instance
// lock on a locked file, the XDG folders and the system's name. The Qt front end uses them as
// they are (and overrides ProcessEventsFor with its event loop); the headless tools can too.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/services.h"

namespace zynta::platform {

// The numeric addresses of a host name ("192.0.2.1", "2001:db8::1"); empty when it has none.
// It may block for as long as the system's resolver takes.
using HostResolver = std::function<std::vector<std::string>(const std::string& host)>;

// The system's resolver (getaddrinfo), IPv4 and IPv6.
std::vector<std::string> SystemResolve(const std::string& host);

// One plain HTTP GET of http://host:port/path. Redirects are not followed (a 3xx fails), only a
// 2xx status succeeds, and a body over the limit fails: the transfer stops once it passes it.
// No proxy is used. Safe to use from several threads, each request has its own handle.
//
// The whole request, name resolution included, ends within totalTimeoutMs whatever the
// resolver does: the name is resolved in a thread of its own, abandoned at the deadline (a
// resolver whose servers never answer can take minutes), and libcurl gets the addresses.
class CurlHttpClient : public HttpClient {
 public:
  explicit CurlHttpClient(long connectTimeoutMs = 5000, long totalTimeoutMs = 10000, size_t maxBody = 64 * 1024,
                          HostResolver resolve = SystemResolve);
  std::optional<std::string> Get(const std::string& host, int port, const std::string& path) override;

 private:
  long connectTimeoutMs_;
  long totalTimeoutMs_;
  size_t maxBody_;
  HostResolver resolve_;
};

// The lock is flock() on <runtime folder>/<name>.lock, held while the object lives. The system
// drops it when the process ends however it ends, so no stale lock is ever left behind. Two
// objects conflict even inside one process (each opens the file on its own). The runtime
// folder is one only the user can create files in, so nobody else can take the lock first.
class FileInstanceLock : public InstanceLock {
 public:
  // The runtime folder: $XDG_RUNTIME_DIR when set, absolute, a folder and the user's own, else
  // <cache>/zynta ($XDG_CACHE_HOME when absolute, else ~/.cache), made 0700 when missing and
  // used only when it is a real folder of the user's.
  FileInstanceLock();
  explicit FileInstanceLock(std::string runtimeFolder);
  ~FileInstanceLock() override;
  FileInstanceLock(const FileInstanceLock&) = delete;
  FileInstanceLock& operator=(const FileInstanceLock&) = delete;

  // True when this object now holds the lock (also when it already held that name). Taking
  // another name lets go of the one held before, but only once the new one is taken. False
  // when another holder has it, and when it cannot be taken at all: then FailureText() says why.
  bool Acquire(const std::string& name) override;
  std::string FailureText() const override { return failure_; }
  void Release();
  bool Held() const { return fd_ >= 0; }
  const std::string& RuntimeFolder() const { return folder_; }

  static std::string DefaultRuntimeFolder();

 private:
  bool Fail(const std::string& path, const std::string& reason);

  std::string folder_;
  std::string heldName_;
  std::string failure_;
  int fd_ = -1;
};

// The user's home folder: $HOME when set, else the password entry's; empty without either.
std::string HomeFolder();

class XdgFolders : public Folders {
 public:
  // The link that names the running executable; another one only for tests.
  explicit XdgFolders(std::string executableLink = "/proc/self/exe");
  // $XDG_CONFIG_HOME when set and absolute, else $HOME/.config; no trailing slash.
  std::string AppDataFolder() const override;
  // The executable's file name without folder and extension; empty when it cannot be read.
  std::string ExecutableName() const override;
  bool SetWorkingDirectory(const std::string& folder) override;

 private:
  std::string executableLink_;
};

class LinuxSystemInfo : public SystemServices {
 public:
  // Reads /etc/os-release, else /usr/lib/os-release.
  LinuxSystemInfo();
  // Reads only that file (for tests).
  explicit LinuxSystemInfo(std::string osReleasePath);
  // "Linux" and a blank and the os-release PRETTY_NAME, or only "Linux" without one.
  std::string OsName() const override;
  // Sleeps; the headless stand-in for running the event loop.
  void ProcessEventsFor(int milliseconds) override;
  // "zynta: <text>" on standard error and in the system log.
  void LogError(const std::string& text) override;

 private:
  std::string osReleasePath_;  // empty: the system's files
};

// The PRETTY_NAME of os-release text, unquoted and unescaped; empty when there is none.
std::string OsReleasePrettyName(const std::string& text);

}  // namespace zynta::platform
