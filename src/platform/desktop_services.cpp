#include "platform/desktop_services.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <syslog.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

#include <curl/curl.h>

namespace zynta::platform {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// ---------------------------------------------------------------------------------------------
// HTTP

namespace {

void InitCurlOnce() {
  static std::once_flag once;
  // Never cleaned up: other threads may still be using libcurl when the program ends.
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// Whitespace and control characters have no place in the address; a CR or LF would even
// let the caller write request headers of its own.
bool HasUnsafeChar(const std::string& text) {
  return std::ranges::any_of(text, [](unsigned char c) { return c <= 0x20 || c == 0x7f; });
}

std::optional<std::string> BuildUrl(const std::string& host, int port, const std::string& path) {
  if (host.empty() || HasUnsafeChar(host) || HasUnsafeChar(path)) return std::nullopt;
  if (host.find_first_of("/?#@") != std::string::npos) return std::nullopt;
  if (port < 1 || port > 65535) return std::nullopt;
  std::string url = "http://";
  const bool ipv6 = host.find(':') != std::string::npos && host.front() != '[';
  url += ipv6 ? "[" + host + "]" : host;
  url += ":" + std::to_string(port);
  if (path.empty() || path.front() != '/') url += '/';
  url += path;
  return url;
}

struct BodySink {
  std::string body;
  size_t limit = 0;
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
  auto& sink = *static_cast<BodySink*>(user);
  const size_t n = size * count;
  // Returning less than was handed over makes libcurl abort the transfer.
  if (n > sink.limit - sink.body.size()) return 0;
  sink.body.append(data, n);
  return n;
}

struct CurlHandle {
  CURL* curl = curl_easy_init();
  curl_slist* resolve = nullptr;
  ~CurlHandle() {
    if (curl) curl_easy_cleanup(curl);
    curl_slist_free_all(resolve);
  }
};

bool IsNumericAddress(const std::string& host) {
  in6_addr address{};
  return inet_pton(AF_INET, host.c_str(), &address) == 1 || inet_pton(AF_INET6, host.c_str(), &address) == 1;
}

// The resolver's answer, shared with its thread: whichever of the two ends last frees it.
struct Resolution {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  std::vector<std::string> addresses;
};

// The addresses of `host`, or nothing once the deadline has passed. A thread left behind ends
// on its own when the resolver gives up, and touches nothing but its shared answer.
std::optional<std::vector<std::string>> ResolveBefore(const HostResolver& resolve, const std::string& host,
                                                      Clock::time_point deadline) {
  auto answer = std::make_shared<Resolution>();
  std::thread([answer, resolve, host] {
    std::vector<std::string> found;
    try {
      found = resolve(host);
    } catch (...) {
      // no addresses
    }
    const std::lock_guard lock(answer->mutex);
    answer->addresses = std::move(found);
    answer->finished = true;
    answer->done.notify_all();
  }).detach();
  std::unique_lock lock(answer->mutex);
  if (!answer->done.wait_until(lock, deadline, [&] { return answer->finished; })) return std::nullopt;
  return std::move(answer->addresses);
}

// "host:port:addr1,[addr6],..." for CURLOPT_RESOLVE.
std::string ResolveEntry(const std::string& host, int port, const std::vector<std::string>& addresses) {
  std::string entry = host + ":" + std::to_string(port) + ":";
  for (size_t i = 0; i < addresses.size(); ++i) {
    if (i) entry += ',';
    const bool ipv6 = addresses[i].find(':') != std::string::npos;
    entry += ipv6 ? "[" + addresses[i] + "]" : addresses[i];
  }
  return entry;
}

long MillisecondsUntil(Clock::time_point deadline) {
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count());
}

}  // namespace

std::vector<std::string> SystemResolve(const std::string& host) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  std::vector<std::string> addresses;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0) return addresses;
  for (const addrinfo* a = found; a; a = a->ai_next) {
    char text[INET6_ADDRSTRLEN] = {};
    const void* where = a->ai_family == AF_INET6
                            ? static_cast<const void*>(&reinterpret_cast<sockaddr_in6*>(a->ai_addr)->sin6_addr)
                            : static_cast<const void*>(&reinterpret_cast<sockaddr_in*>(a->ai_addr)->sin_addr);
    if ((a->ai_family == AF_INET || a->ai_family == AF_INET6) && inet_ntop(a->ai_family, where, text, sizeof text))
      addresses.emplace_back(text);
  }
  freeaddrinfo(found);
  return addresses;
}

CurlHttpClient::CurlHttpClient(long connectTimeoutMs, long totalTimeoutMs, size_t maxBody, HostResolver resolve)
    : connectTimeoutMs_(connectTimeoutMs),
      totalTimeoutMs_(totalTimeoutMs),
      maxBody_(maxBody),
      resolve_(std::move(resolve)) {
  InitCurlOnce();
}

std::optional<std::string> CurlHttpClient::Get(const std::string& host, int port, const std::string& path) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(totalTimeoutMs_);
  const auto url = BuildUrl(host, port, path);
  if (!url) return std::nullopt;
  CurlHandle h;
  if (!h.curl) return std::nullopt;
  if (!IsNumericAddress(host)) {
    const auto addresses = ResolveBefore(resolve_, host, deadline);
    if (!addresses || addresses->empty()) return std::nullopt;
    h.resolve = curl_slist_append(nullptr, ResolveEntry(host, port, *addresses).c_str());
    if (!h.resolve) return std::nullopt;
  }
  // What is left of the whole request's time, at least a millisecond (0 would mean none).
  const long remaining = std::max(1L, MillisecondsUntil(deadline));
  CURL* c = h.curl;
  BodySink sink;
  sink.limit = maxBody_;
  bool ok = curl_easy_setopt(c, CURLOPT_URL, url->c_str()) == CURLE_OK;
  ok = ok && curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http") == CURLE_OK;
  ok = ok && curl_easy_setopt(c, CURLOPT_HTTPGET, 1L) == CURLE_OK;
  ok = ok && curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L) == CURLE_OK;
  ok = ok && curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L) == CURLE_OK;
  ok = ok && curl_easy_setopt(c, CURLOPT_PROXY, "") == CURLE_OK;
  ok = ok && curl_easy_setopt(c, CURLOPT_NOPROXY, "*") == CURLE_OK;
  ok = ok && curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, std::min(connectTimeoutMs_, remaining)) == CURLE_OK;
  ok = ok && curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, remaining) == CURLE_OK;
  ok = ok && (!h.resolve || curl_easy_setopt(c, CURLOPT_RESOLVE, h.resolve) == CURLE_OK);
  // A declared length over the limit fails before any of the body is read.
  ok = ok && curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxBody_)) == CURLE_OK;
  ok = ok && curl_easy_setopt(c, CURLOPT_USERAGENT, "zynta") == CURLE_OK;
  ok = ok && curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &WriteBody) == CURLE_OK;
  ok = ok && curl_easy_setopt(c, CURLOPT_WRITEDATA, &sink) == CURLE_OK;
  if (!ok) return std::nullopt;
  if (curl_easy_perform(c) != CURLE_OK) return std::nullopt;
  long status = 0;
  if (curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK) return std::nullopt;
  if (status < 200 || status > 299) return std::nullopt;
  return std::move(sink.body);
}

// ---------------------------------------------------------------------------------------------
// Folders

namespace {

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home && home[0] != '\0') return home;
  std::vector<char> buffer(16384);
  passwd pw{};
  passwd* found = nullptr;
  if (getpwuid_r(geteuid(), &pw, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
    return found->pw_dir;
  return {};
}

XdgFolders::XdgFolders(std::string executableLink) : executableLink_(std::move(executableLink)) {}

std::string XdgFolders::AppDataFolder() const {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') return WithoutTrailingSlashes(xdg);
  const std::string home = HomeFolder();
  if (home.empty()) return {};
  const std::string base = WithoutTrailingSlashes(home);
  return (base == "/" ? "" : base) + "/.config";
}

std::string XdgFolders::ExecutableName() const {
  std::error_code ec;
  std::string target = fs::read_symlink(executableLink_, ec).string();
  if (ec) target = executableLink_;
  // The kernel marks a program whose file was replaced while it runs.
  const std::string deleted = " (deleted)";
  if (target.size() > deleted.size() && target.ends_with(deleted)) target.resize(target.size() - deleted.size());
  return fs::path(target).stem().string();
}

bool XdgFolders::SetWorkingDirectory(const std::string& folder) {
  return !folder.empty() && chdir(folder.c_str()) == 0;
}

// ---------------------------------------------------------------------------------------------
// System

std::string OsReleasePrettyName(const std::string& text) {
  std::string result;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line[i] == '#') continue;
    const size_t eq = line.find('=', i);
    if (eq == std::string::npos || line.compare(i, eq - i, "PRETTY_NAME") != 0) continue;
    // The value is a shell word: quoted parts, backslash escapes, ended by a blank outside quotes.
    std::string value;
    char quote = 0;
    for (i = eq + 1; i < line.size(); ++i) {
      const char c = line[i];
      if (quote == '\'') {
        if (c == '\'') quote = 0;
        else value += c;
      } else if (c == '\\' && i + 1 < line.size() &&
                 (quote == 0 || std::string_view("\"\\$`").find(line[i + 1]) != std::string_view::npos)) {
        value += line[++i];
      } else if (quote == '"') {
        if (c == '"') quote = 0;
        else value += c;
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == ' ' || c == '\t' || c == '\r') {
        break;
      } else {
        value += c;
      }
    }
    // The last assignment counts, as in the shell.
    result.clear();
    for (unsigned char c : value)
      if (c >= 0x20 && c != 0x7f) result += static_cast<char>(c);
  }
  return result;
}

LinuxSystemInfo::LinuxSystemInfo() = default;

LinuxSystemInfo::LinuxSystemInfo(std::string osReleasePath) : osReleasePath_(std::move(osReleasePath)) {}

std::string LinuxSystemInfo::OsName() const {
  std::vector<std::string> candidates;
  if (osReleasePath_.empty()) candidates = {"/etc/os-release", "/usr/lib/os-release"};
  else candidates = {osReleasePath_};
  for (const auto& path : candidates) {
    std::ifstream in(path, std::ios::binary);
    if (!in) continue;
    std::ostringstream text;
    text << in.rdbuf();
    const std::string pretty = OsReleasePrettyName(text.str());
    return pretty.empty() ? "Linux" : "Linux " + pretty;
  }
  return "Linux";
}

void LinuxSystemInfo::ProcessEventsFor(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void LinuxSystemInfo::LogError(const std::string& text) {
  const std::string line = "zynta: " + text + "\n";
  [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line.data(), line.size());
  ::syslog(LOG_USER | LOG_ERR, "%s", text.c_str());
}

}  // namespace zynta::platform
