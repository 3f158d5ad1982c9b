// The desktop services against the real system: HTTP against a small server of the test's own
// on 127.0.0.1, the instance lock across objects and processes, the folders and the system name.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>  // NOLINT(modernize-deprecated-headers): kill() is POSIX and declared only here
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/desktop_services.h"

namespace zynta::platform {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// ---------------------------------------------------------------------------------------------
// Helpers

// Sets or unsets an environment variable and puts the old value back at the end.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) setenv(name, value->c_str(), 1);
    else unsetenv(name);
  }
  ~ScopedEnv() {
    if (old_) setenv(name_, old_->c_str(), 1);
    else unsetenv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// A fresh folder under the temp folder, removed at the end.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "zynta-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& Path() const { return path_; }
  std::string Str() const { return path_.string(); }

 private:
  fs::path path_;
};

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

bool SendAll(int fd, const std::string& data) {
  size_t sent = 0;
  while (sent < data.size()) {
    const ssize_t n = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

// An HTTP server on 127.0.0.1 and a free port. It serves at most maxConnections connections,
// lives at most `lifetime`, and stops early on Stop(); the destructor joins its thread.
class TestServer {
 public:
  // Answers one request on the connection; `stop` turns true when the server is told to end.
  using Handler = std::function<void(int fd, const std::string& request, const std::atomic<bool>& stop)>;

  explicit TestServer(Handler handler, int maxConnections = 1, Clock::duration lifetime = 3s)
      : handler_(std::move(handler)) {
    listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd_ < 0) throw std::runtime_error("socket failed");
    const int yes = 1;
    setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(listenFd_, 8) != 0 ||
        getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
      close(listenFd_);
      throw std::runtime_error("cannot listen");
    }
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this, maxConnections, lifetime] { Run(maxConnections, Clock::now() + lifetime); });
  }
  ~TestServer() { Stop(); }
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  int Port() const { return port_; }
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  std::vector<std::string> Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }

 private:
  void Run(int maxConnections, Clock::time_point deadline) {
    for (int served = 0; served < maxConnections && !stop_ && Clock::now() < deadline;) {
      pollfd p{listenFd_, POLLIN, 0};
      if (poll(&p, 1, 20) <= 0) continue;
      const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      ++served;
      const std::string request = ReadRequest(fd, deadline);
      {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
      }
      handler_(fd, request, stop_);
      close(fd);
    }
    close(listenFd_);
  }

  // Reads up to the blank line after the headers (a GET has no body).
  std::string ReadRequest(int fd, Clock::time_point deadline) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos && !stop_ && Clock::now() < deadline) {
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, 20) <= 0) continue;
      const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      request.append(buffer, static_cast<size_t>(n));
    }
    return request;
  }

  Handler handler_;
  int listenFd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
};

std::string Response(const std::string& status, const std::string& body, const std::string& extra = "") {
  return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\nConnection: close\r\n" + extra + "\r\n" + body;
}

TestServer::Handler Answer(const std::string& response) {
  return [response](int fd, const std::string&, const std::atomic<bool>&) { SendAll(fd, response); };
}

// Waits, bounded, until the client hangs up.
void WaitForHangUp(int fd, const std::atomic<bool>& stop, Clock::duration limit) {
  const auto end = Clock::now() + limit;
  char buffer[256];
  while (!stop && Clock::now() < end) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 20) <= 0) continue;
    if (recv(fd, buffer, sizeof buffer, 0) <= 0) return;
  }
}

// A port on 127.0.0.1 that refuses connections: bound, so nobody else takes it, but not listening.
class RefusingPort {
 public:
  RefusingPort() {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
      throw std::runtime_error("cannot bind");
    port_ = ntohs(addr.sin_port);
  }
  ~RefusingPort() { close(fd_); }
  int Port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};

// ---------------------------------------------------------------------------------------------
// CurlHttpClient

const std::string VersionBody = "1.2.0.0\r\nfree\r\n3\r\n";

TEST(CurlHttpClient, ReturnsTheBodyOfA200Exactly) {
  TestServer server(Answer(Response("200 OK", VersionBody, "Content-Type: text/plain\r\n")));
  CurlHttpClient http;
  const auto body = http.Get("127.0.0.1", server.Port(), "/zynta/version.txt");
  ASSERT_TRUE(body.has_value());
  EXPECT_EQ(*body, VersionBody);
  server.Stop();
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].rfind("GET /zynta/version.txt HTTP/1.1\r\n", 0), 0u) << requests[0];
  EXPECT_NE(requests[0].find("\r\nHost: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n"), std::string::npos)
      << requests[0];
}

TEST(CurlHttpClient, PathWithoutLeadingSlashAndEmptyBody) {
  TestServer server(Answer(Response("204 No Content", "")));
  CurlHttpClient http;
  const auto body = http.Get("127.0.0.1", server.Port(), "a/b?x=1");
  ASSERT_TRUE(body.has_value());  // any 2xx succeeds, an empty body too
  EXPECT_EQ(*body, "");
  server.Stop();
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].rfind("GET /a/b?x=1 HTTP/1.1\r\n", 0), 0u);
}

TEST(CurlHttpClient, ErrorStatusesFail) {
  TestServer server(
      [](int fd, const std::string& request, const std::atomic<bool>&) {
        if (request.rfind("GET /missing ", 0) == 0) SendAll(fd, Response("404 Not Found", "no such page"));
        else if (request.rfind("GET /broken ", 0) == 0) SendAll(fd, Response("500 Internal Server Error", "oops"));
        else SendAll(fd, Response("100 Continue", ""));  // nothing final: not a success either
      },
      3);
  CurlHttpClient http(2000, 2000);
  EXPECT_EQ(http.Get("127.0.0.1", server.Port(), "/missing"), std::nullopt);
  EXPECT_EQ(http.Get("127.0.0.1", server.Port(), "/broken"), std::nullopt);
  EXPECT_EQ(http.Get("127.0.0.1", server.Port(), "/other"), std::nullopt);
}

TEST(CurlHttpClient, RedirectIsAFailureAndNotFollowed) {
  TestServer server(
      [](int fd, const std::string& request, const std::atomic<bool>&) {
        if (request.rfind("GET /moved ", 0) == 0)
          SendAll(fd, Response("301 Moved Permanently", "", "Location: /target\r\n"));
        else SendAll(fd, Response("200 OK", VersionBody));
      },
      2);
  CurlHttpClient http;
  EXPECT_EQ(http.Get("127.0.0.1", server.Port(), "/moved"), std::nullopt);
  server.Stop();
  EXPECT_EQ(server.Requests().size(), 1u);  // /target was never asked for
}

TEST(CurlHttpClient, ServerThatClosesWithoutAnswerFails) {
  TestServer server([](int, const std::string&, const std::atomic<bool>&) {});
  CurlHttpClient http;
  EXPECT_EQ(http.Get("127.0.0.1", server.Port(), "/"), std::nullopt);
}

// A name server on 127.0.0.1 that takes every query and never answers, as a resolver whose
// servers are all down makes getaddrinfo wait (up to minutes with several servers and retries).
class SilentNameServer {
 public:
  SilentNameServer() {
    fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      throw std::runtime_error("UDP socket failed");
    port_ = ntohs(address.sin_port);
  }
  ~SilentNameServer() { close(fd_); }
  SilentNameServer(const SilentNameServer&) = delete;
  SilentNameServer& operator=(const SilentNameServer&) = delete;

  // A resolver that asks this server for the A record and waits up to a minute for the answer.
  HostResolver Resolver() const {
    const int port = port_;
    return [port](const std::string& host) {
      const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
      std::string query("\x12\x34\x01\x00\x00\x01\x00\x00\x00\x00\x00\x00", 12);
      for (size_t from = 0; from <= host.size();) {  // the name as DNS labels
        const size_t dot = std::min(host.find('.', from), host.size());
        query += static_cast<char>(dot - from);
        query += host.substr(from, dot - from);
        from = dot + 1;
      }
      query += std::string("\x00\x00\x01\x00\x01", 5);
      sockaddr_in server{};
      server.sin_family = AF_INET;
      server.sin_port = htons(static_cast<uint16_t>(port));
      server.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      const timeval wait{60, 0};
      setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
      sendto(fd, query.data(), query.size(), 0, reinterpret_cast<sockaddr*>(&server), sizeof server);
      char answer[512];
      [[maybe_unused]] const ssize_t got = recv(fd, answer, sizeof answer, 0);  // never comes
      close(fd);
      return std::vector<std::string>{};
    };
  }

 private:
  int fd_ = -1;
  int port_ = 0;
};

// The whole request ends by its deadline, whatever the name resolution does. The deadline is the
// program's 10 s in use; shorter ones here keep the test fast and show that it is the bound.
TEST(CurlHttpClient, NameServerThatNeverAnswersEndsTheRequestAtTheDeadline) {
  const SilentNameServer dns;
  for (const long deadlineMs : {300L, 1000L}) {
    CurlHttpClient http(5000, deadlineMs, 64 * 1024, dns.Resolver());
    const auto start = Clock::now();
    EXPECT_EQ(http.Get("zynta.example.com", 80, "/zynta/version.txt"), std::nullopt);
    const double took = Seconds(Clock::now() - start);
    EXPECT_GE(took, deadlineMs / 1000.0 - 0.01) << deadlineMs;
    EXPECT_LT(took, deadlineMs / 1000.0 + 0.5) << deadlineMs;
  }
}

TEST(CurlHttpClient, NameIsResolvedByTheResolverAndTheRequestGoesToItsAddress) {
  TestServer server(Answer(Response("200 OK", VersionBody)));
  std::vector<std::string> asked;
  CurlHttpClient http(2000, 2000, 64 * 1024, [&asked](const std::string& host) {
    asked.push_back(host);
    return std::vector<std::string>{"127.0.0.1"};
  });
  EXPECT_EQ(http.Get("zynta.example.com", server.Port(), "/v"), std::optional<std::string>(VersionBody));
  EXPECT_EQ(asked, std::vector<std::string>{"zynta.example.com"});
  server.Stop();
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_NE(server.Requests()[0].find("\r\nHost: zynta.example.com:"), std::string::npos) << server.Requests()[0];
  // A name without addresses fails at once; numeric addresses need no resolver.
  CurlHttpClient none(2000, 2000, 64 * 1024, [](const std::string&) { return std::vector<std::string>{}; });
  EXPECT_EQ(none.Get("zynta.example.com", server.Port(), "/v"), std::nullopt);
}

TEST(CurlHttpClient, SlowServerTimesOut) {
  TestServer server([](int fd, const std::string&, const std::atomic<bool>& stop) {
    WaitForHangUp(fd, stop, 2s);  // never answers
  });
  CurlHttpClient http(300, 300);
  const auto start = Clock::now();
  EXPECT_EQ(http.Get("127.0.0.1", server.Port(), "/slow"), std::nullopt);
  const double took = Seconds(Clock::now() - start);
  EXPECT_GE(took, 0.25);
  EXPECT_LT(took, 1.0);
  server.Stop();
  EXPECT_EQ(server.Requests().size(), 1u);  // the request did reach it: the time-out came after
}

TEST(CurlHttpClient, DeclaredBodyOverTheLimitFails) {
  TestServer server(Answer(Response("200 OK", std::string(70 * 1024, 'x'))));
  CurlHttpClient http;
  EXPECT_EQ(http.Get("127.0.0.1", server.Port(), "/big"), std::nullopt);
}

TEST(CurlHttpClient, UndeclaredBodyOverTheLimitStopsTheTransfer) {
  // 70 KiB and then an endless trickle for seconds: only stopping at the limit returns soon.
  TestServer server([](int fd, const std::string&, const std::atomic<bool>& stop) {
    if (!SendAll(fd, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + std::string(70 * 1024, 'x'))) return;
    const auto end = Clock::now() + 3s;
    while (!stop && Clock::now() < end && SendAll(fd, std::string(1024, 'y'))) std::this_thread::sleep_for(10ms);
  });
  CurlHttpClient http;
  const auto start = Clock::now();
  EXPECT_EQ(http.Get("127.0.0.1", server.Port(), "/stream"), std::nullopt);
  EXPECT_LT(Seconds(Clock::now() - start), 1.0);
}

TEST(CurlHttpClient, BodyOfExactlyTheLimitSucceeds) {
  const std::string body(64 * 1024, 'z');
  TestServer server(
      [&body](int fd, const std::string& request, const std::atomic<bool>&) {
        if (request.rfind("GET /declared ", 0) == 0) SendAll(fd, Response("200 OK", body));
        else SendAll(fd, "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + body);
      },
      2);
  CurlHttpClient http;
  const auto declared = http.Get("127.0.0.1", server.Port(), "/declared");
  ASSERT_TRUE(declared.has_value());
  EXPECT_EQ(*declared, body);
  const auto undeclared = http.Get("127.0.0.1", server.Port(), "/undeclared");
  ASSERT_TRUE(undeclared.has_value());
  EXPECT_EQ(*undeclared, body);
}

TEST(CurlHttpClient, SmallerLimitFromTheConstructor) {
  TestServer server(
      [](int fd, const std::string& request, const std::atomic<bool>&) {
        SendAll(fd, Response("200 OK", request.rfind("GET /ten ", 0) == 0 ? "0123456789" : "0123456789A"));
      },
      2);
  CurlHttpClient http(5000, 10000, 10);
  EXPECT_EQ(http.Get("127.0.0.1", server.Port(), "/ten"), std::optional<std::string>("0123456789"));
  EXPECT_EQ(http.Get("127.0.0.1", server.Port(), "/eleven"), std::nullopt);
}

TEST(CurlHttpClient, RefusedConnectionFailsQuickly) {
  RefusingPort refusing;
  CurlHttpClient http;
  const auto start = Clock::now();
  EXPECT_EQ(http.Get("127.0.0.1", refusing.Port(), "/"), std::nullopt);
  EXPECT_LT(Seconds(Clock::now() - start), 1.0);
}

TEST(CurlHttpClient, ProxyFromTheEnvironmentIsNotUsed) {
  RefusingPort refusing;
  const std::string proxy = "http://127.0.0.1:" + std::to_string(refusing.Port());
  ScopedEnv a("http_proxy", proxy), b("ALL_PROXY", proxy), c("all_proxy", proxy), d("no_proxy", std::nullopt),
      e("NO_PROXY", std::nullopt);
  TestServer server(Answer(Response("200 OK", VersionBody)));
  CurlHttpClient http(1000, 2000);
  EXPECT_EQ(http.Get("127.0.0.1", server.Port(), "/"), std::optional<std::string>(VersionBody));
}

TEST(CurlHttpClient, BadAddressesFailWithoutARequest) {
  TestServer server(Answer(Response("200 OK", VersionBody)), 4, 500ms);
  CurlHttpClient http(500, 500);
  const int port = server.Port();
  EXPECT_EQ(http.Get("127.0.0.1", 0, "/"), std::nullopt);
  EXPECT_EQ(http.Get("127.0.0.1", 70000, "/"), std::nullopt);
  EXPECT_EQ(http.Get("", port, "/"), std::nullopt);
  EXPECT_EQ(http.Get("127.0.0.1", port, "/a\r\nX-Injected: 1"), std::nullopt);
  EXPECT_EQ(http.Get("127.0.0.1/x", port, "/"), std::nullopt);
  server.Stop();
  EXPECT_TRUE(server.Requests().empty());
}

// ---------------------------------------------------------------------------------------------
// FileInstanceLock

struct FileInstanceLockTest : testing::Test {
  TempFolder runtime;
};

// Runs `child` in a forked process and returns its exit code (-1 when it did not exit normally).
int InChild(const std::function<int()>& child) {
  const pid_t pid = fork();
  if (pid == 0) {
    alarm(5);  // never outlives a stuck test
    _exit(child());
  }
  if (pid < 0) return -1;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(FileInstanceLockTest, SecondObjectIsRefusedUntilTheFirstIsGone) {
  auto first = std::make_unique<FileInstanceLock>(runtime.Str());
  FileInstanceLock second(runtime.Str());
  EXPECT_TRUE(first->Acquire("ZYNTA"));
  EXPECT_TRUE(fs::exists(runtime.Path() / "ZYNTA.lock"));
  EXPECT_FALSE(second.Acquire("ZYNTA"));
  EXPECT_FALSE(second.Held());
  EXPECT_TRUE(second.Acquire("OTHER"));  // another name is another lock
  first.reset();
  EXPECT_TRUE(second.Acquire("ZYNTA"));
  FileInstanceLock third(runtime.Str());
  EXPECT_FALSE(third.Acquire("ZYNTA"));
  EXPECT_TRUE(third.Acquire("OTHER"));  // taking ZYNTA let go of OTHER
}

TEST_F(FileInstanceLockTest, SameObjectAcquiringAgainKeepsItAndReleaseFreesIt) {
  FileInstanceLock lock(runtime.Str());
  EXPECT_TRUE(lock.Acquire("ZYNTA"));
  EXPECT_TRUE(lock.Acquire("ZYNTA"));
  FileInstanceLock other(runtime.Str());
  EXPECT_FALSE(other.Acquire("ZYNTA"));
  lock.Release();
  EXPECT_FALSE(lock.Held());
  EXPECT_TRUE(other.Acquire("ZYNTA"));
}

TEST_F(FileInstanceLockTest, ChildProcessIsRefusedWhileTheParentHoldsIt) {
  const std::string folder = runtime.Str();
  auto tryInChild = [&folder] {
    FileInstanceLock lock(folder);
    return lock.Acquire("ZYNTA") ? 0 : 3;
  };
  {
    FileInstanceLock parent(folder);
    ASSERT_TRUE(parent.Acquire("ZYNTA"));
    EXPECT_EQ(InChild(tryInChild), 3);
  }
  EXPECT_EQ(InChild(tryInChild), 0);  // free again once the parent let go
}

TEST_F(FileInstanceLockTest, KilledHolderLeavesNoStaleLock) {
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const std::string folder = runtime.Str();
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    alarm(5);
    close(ready[0]);
    FileInstanceLock lock(folder);
    const char ok = lock.Acquire("ZYNTA") ? 'y' : 'n';
    if (write(ready[1], &ok, 1) != 1) _exit(2);
    pause();  // until killed (or the alarm)
    _exit(0);
  }
  close(ready[1]);
  char got = 0;
  pollfd p{ready[0], POLLIN, 0};
  const bool answered = poll(&p, 1, 3000) == 1 && read(ready[0], &got, 1) == 1;
  close(ready[0]);
  FileInstanceLock parent(folder);
  const bool whileChildHolds = parent.Acquire("ZYNTA");
  kill(pid, SIGKILL);
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(answered);
  EXPECT_EQ(got, 'y');
  EXPECT_FALSE(whileChildHolds);
  EXPECT_TRUE(fs::exists(runtime.Path() / "ZYNTA.lock"));  // the file is still there...
  EXPECT_TRUE(parent.Acquire("ZYNTA"));                    // ...but the lock died with its holder
}

TEST_F(FileInstanceLockTest, NamesThatAreNotPlainFileNamesAreRefused) {
  FileInstanceLock lock(runtime.Str());
  EXPECT_FALSE(lock.Acquire(""));
  EXPECT_FALSE(lock.Acquire("a/b"));
  EXPECT_FALSE(lock.Acquire(".."));
  EXPECT_FALSE(lock.Acquire(std::string("a\0b", 3)));
  EXPECT_FALSE(lock.Held());
}

TEST_F(FileInstanceLockTest, RuntimeFolderFromTheEnvironment) {
  {
    ScopedEnv xdg("XDG_RUNTIME_DIR", runtime.Str());
    FileInstanceLock lock;
    EXPECT_EQ(lock.RuntimeFolder(), runtime.Str());
    EXPECT_TRUE(lock.Acquire("ZYNTA"));
    EXPECT_TRUE(fs::exists(runtime.Path() / "ZYNTA.lock"));
  }
  // Unset, relative, missing or someone else's: a private folder of this user under the cache.
  ScopedEnv cache("XDG_CACHE_HOME", runtime.Str() + "/cache");
  const std::string perUser = runtime.Str() + "/cache/zynta";
  fs::create_directory(runtime.Path() / "foreign");
  const bool chowned = chown((runtime.Path() / "foreign").c_str(), 4242, 4242) == 0;
  for (const std::optional<std::string>& value :
       {std::optional<std::string>(), std::optional<std::string>("relative"),
        std::optional<std::string>(runtime.Str() + "/missing"),
        std::optional<std::string>(runtime.Str() + "/foreign")}) {
    if (!chowned && value && value->ends_with("/foreign")) continue;
    ScopedEnv xdg("XDG_RUNTIME_DIR", value);
    EXPECT_EQ(FileInstanceLock::DefaultRuntimeFolder(), perUser) << value.value_or("unset");
  }
  ScopedEnv xdg("XDG_RUNTIME_DIR", std::nullopt);
  FileInstanceLock a, b;
  EXPECT_TRUE(a.Acquire("ZYNTA"));
  EXPECT_FALSE(b.Acquire("ZYNTA"));
  EXPECT_EQ(b.FailureText(), "");  // held by a running copy: no failure
  struct stat st {};
  ASSERT_EQ(stat(perUser.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  // Without $XDG_CACHE_HOME: ~/.cache.
  ScopedEnv noCache("XDG_CACHE_HOME", std::nullopt);
  ScopedEnv home("HOME", runtime.Str() + "/home");
  EXPECT_EQ(FileInstanceLock::DefaultRuntimeFolder(), runtime.Str() + "/home/.cache/zynta");
}

TEST_F(FileInstanceLockTest, ForeignLinkAsThePerUserFolderIsNotTrusted) {
  ScopedEnv cache("XDG_CACHE_HOME", runtime.Str());
  ScopedEnv xdg("XDG_RUNTIME_DIR", std::nullopt);
  fs::create_directory(runtime.Path() / "elsewhere");
  fs::create_directory_symlink(runtime.Path() / "elsewhere", FileInstanceLock::DefaultRuntimeFolder());
  FileInstanceLock lock;
  EXPECT_FALSE(lock.Acquire("ZYNTA"));
  EXPECT_FALSE(fs::exists(runtime.Path() / "elsewhere" / "ZYNTA.lock"));
}

// Another user pre-creating the folder the lock used to live in (under the shared temp folder)
// stops nothing any more: the lock lives where only this user can make files.
TEST_F(FileInstanceLockTest, FolderPreparedByAnotherUserInTheTempFolderStopsNothing) {
  ScopedEnv tmp("TMPDIR", runtime.Str());
  ScopedEnv xdg("XDG_RUNTIME_DIR", std::nullopt);
  ScopedEnv cache("XDG_CACHE_HOME", runtime.Str() + "/cache");
  const fs::path trap = runtime.Path() / ("zynta-" + std::to_string(geteuid()));
  fs::create_directory(trap);
  std::ofstream(trap / "ZYNTA.lock") << "";
  if (chown(trap.c_str(), 4242, 4242) != 0) fs::permissions(trap, fs::perms::owner_read | fs::perms::owner_exec);
  FileInstanceLock lock;
  EXPECT_TRUE(lock.Acquire("ZYNTA")) << lock.FailureText();
}

// A lock that cannot be taken at all says where and why; the start goes on (see the start's test).
TEST_F(FileInstanceLockTest, LockThatCannotBeTakenNamesThePathAndTheReason) {
  struct Case {
    const char* what;
    // Prepares the case under its own folder; returns the lock's folder, "" to skip the case.
    std::function<fs::path(const fs::path&)> prepare;
    const char* reason;
  };
  const Case cases[] = {
      {"link",
       [](const fs::path& base) {
         fs::create_directory(base / "elsewhere");
         fs::create_directory_symlink(base / "elsewhere", base / "zynta");
         return base / "zynta";
       },
       "not a folder"},
      {"file",
       [](const fs::path& base) {
         std::ofstream(base / "zynta") << "";
         return base / "zynta";
       },
       "not a folder"},
      {"foreign",
       [](const fs::path& base) {
         fs::create_directory(base / "zynta");
         return chown((base / "zynta").c_str(), 4242, 4242) == 0 ? base / "zynta" : fs::path();  // root only
       },
       "belongs to another user"},
      {"unmakeable",
       [](const fs::path& base) {
         std::ofstream(base / "file") << "";
         return base / "file" / "zynta";
       },
       "Not a directory"},
  };
  for (const Case& c : cases) {
    const fs::path base = runtime.Path() / c.what;
    fs::create_directory(base);
    const fs::path folder = c.prepare(base);
    if (folder.empty()) continue;
    FileInstanceLock lock(folder.string());
    EXPECT_FALSE(lock.Acquire("ZYNTA")) << c.what;
    const std::string text = lock.FailureText();
    EXPECT_TRUE(text.starts_with(folder.string() + "/ZYNTA.lock: ")) << c.what << ": " << text;
    EXPECT_NE(text.find(c.reason), std::string::npos) << c.what << ": " << text;
    EXPECT_FALSE(fs::exists(base / "elsewhere" / "ZYNTA.lock")) << c.what;
  }
}

// ---------------------------------------------------------------------------------------------
// XdgFolders

TEST(XdgFolders, AppDataFolderFromXdgConfigHome) {
  ScopedEnv home("HOME", "/home/someone");
  XdgFolders folders;
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", "/srv/cfg//");
    EXPECT_EQ(folders.AppDataFolder(), "/srv/cfg");
  }
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", "/srv/cfg");
    EXPECT_EQ(folders.AppDataFolder(), "/srv/cfg");
  }
}

TEST(XdgFolders, AppDataFolderFallsBackToDotConfigInHome) {
  ScopedEnv home("HOME", "/home/someone/");
  XdgFolders folders;
  for (const std::optional<std::string>& value : {std::optional<std::string>(), std::optional<std::string>(""),
                                                  std::optional<std::string>("relative/cfg")}) {
    ScopedEnv xdg("XDG_CONFIG_HOME", value);
    EXPECT_EQ(folders.AppDataFolder(), "/home/someone/.config");
  }
  ScopedEnv xdg("XDG_CONFIG_HOME", std::nullopt);
  ScopedEnv rootHome("HOME", "/");
  EXPECT_EQ(folders.AppDataFolder(), "/.config");
}

TEST(XdgFolders, AppDataFolderWithoutHomeUsesThePasswordEntry) {
  ScopedEnv xdg("XDG_CONFIG_HOME", std::nullopt);
  ScopedEnv home("HOME", std::nullopt);
  const std::string folder = XdgFolders().AppDataFolder();
  EXPECT_TRUE(folder.ends_with("/.config")) << folder;
  EXPECT_EQ(folder.front(), '/');
}

TEST(XdgFolders, ExecutableNameOfTheTestProgram) { EXPECT_EQ(XdgFolders().ExecutableName(), "zynta-tests"); }

TEST(XdgFolders, ExecutableNameDropsFolderExtensionAndDeletedMark) {
  TempFolder dir;
  fs::create_symlink("/opt/zynta/zynta.bin", dir.Path() / "exe1");
  fs::create_symlink("/usr/bin/zynta (deleted)", dir.Path() / "exe2");
  EXPECT_EQ(XdgFolders((dir.Path() / "exe1").string()).ExecutableName(), "zynta");
  EXPECT_EQ(XdgFolders((dir.Path() / "exe2").string()).ExecutableName(), "zynta");
}

TEST(XdgFolders, SetWorkingDirectory) {
  TempFolder dir;
  const fs::path before = fs::current_path();
  XdgFolders folders;
  EXPECT_TRUE(folders.SetWorkingDirectory(dir.Str()));
  EXPECT_EQ(fs::current_path(), fs::canonical(dir.Path()));
  EXPECT_FALSE(folders.SetWorkingDirectory(dir.Str() + "/missing"));
  EXPECT_FALSE(folders.SetWorkingDirectory(""));
  EXPECT_EQ(fs::current_path(), fs::canonical(dir.Path()));  // a failure changes nothing
  EXPECT_TRUE(folders.SetWorkingDirectory(before.string()));
  EXPECT_EQ(fs::current_path(), before);
}

// ---------------------------------------------------------------------------------------------
// LinuxSystemInfo

std::string WriteFile(const TempFolder& dir, const std::string& name, const std::string& text) {
  std::string path = (dir.Path() / name).string();
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

TEST(LinuxSystemInfo, OsNameFromQuotedPrettyName) {
  TempFolder dir;
  const std::string path = WriteFile(dir, "os-release",
                                     "# comment\n"
                                     "PRETTY_NAME_EXTRA=\"no\"\n"
                                     "PRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n"
                                     "NAME=\"Debian GNU/Linux\"\n"
                                     "VERSION_ID=\"12\"\n");
  EXPECT_EQ(LinuxSystemInfo(path).OsName(), "Linux Debian GNU/Linux 12 (bookworm)");
}

TEST(LinuxSystemInfo, OsNameWithoutFileOrPrettyName) {
  TempFolder dir;
  EXPECT_EQ(LinuxSystemInfo((dir.Path() / "missing").string()).OsName(), "Linux");
  EXPECT_EQ(LinuxSystemInfo(WriteFile(dir, "a", "NAME=Fedora\nID=fedora\n")).OsName(), "Linux");
  EXPECT_EQ(LinuxSystemInfo(WriteFile(dir, "b", "PRETTY_NAME=\"\"\n")).OsName(), "Linux");
  EXPECT_EQ(LinuxSystemInfo(WriteFile(dir, "c", "")).OsName(), "Linux");
}

TEST(LinuxSystemInfo, PrettyNameQuotingAsTheShellReadsIt) {
  EXPECT_EQ(OsReleasePrettyName("PRETTY_NAME=Arch\n"), "Arch");
  EXPECT_EQ(OsReleasePrettyName("PRETTY_NAME='Single Quoted \\n'\n"), "Single Quoted \\n");
  EXPECT_EQ(OsReleasePrettyName("PRETTY_NAME=\"Say \\\"hi\\\" \\$5 \\\\ \\n\"\n"), "Say \"hi\" $5 \\ \\n");
  EXPECT_EQ(OsReleasePrettyName("PRETTY_NAME=\"Windows Lines\"\r\nNAME=x\r\n"), "Windows Lines");
  EXPECT_EQ(OsReleasePrettyName("  PRETTY_NAME=\"Indented\"  # trailing\n"), "Indented");
  EXPECT_EQ(OsReleasePrettyName("PRETTY_NAME=\"First\"\nPRETTY_NAME=\"Second\"\n"), "Second");
  EXPECT_EQ(OsReleasePrettyName("PRETTY_NAME=\"No end"), "No end");
}

TEST(LinuxSystemInfo, OsNameOfThisSystemStartsWithLinux) {
  const std::string name = LinuxSystemInfo().OsName();
  EXPECT_TRUE(name == "Linux" || name.rfind("Linux ", 0) == 0) << name;
  EXPECT_EQ(name.find('"'), std::string::npos) << name;
}

TEST(LinuxSystemInfo, ProcessEventsForWaitsThatLong) {
  LinuxSystemInfo system;
  auto start = Clock::now();
  system.ProcessEventsFor(60);
  const double took = Seconds(Clock::now() - start);
  EXPECT_GE(took, 0.06);
  EXPECT_LT(took, 1.0);
  start = Clock::now();
  system.ProcessEventsFor(0);
  system.ProcessEventsFor(-5);
  EXPECT_LT(Seconds(Clock::now() - start), 0.05);
}

}  // namespace
}  // namespace zynta::platform
