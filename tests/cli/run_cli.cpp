#include "run_cli.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace zynta::clitest {

namespace fs = std::filesystem;

CliRunner::CliRunner() {
  std::string pattern = (fs::temp_directory_path() / "zynta-cli-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  root_ = pattern;
  home_ = root_ / "home";
  config_ = root_ / "config";
  temp_ = root_ / "tmp";
  for (const fs::path& p : {home_, config_, temp_}) fs::create_directories(p);
}

CliRunner::~CliRunner() {
  std::error_code ec;
  fs::remove_all(root_, ec);
}

std::vector<std::string> CliRunner::Contents(const fs::path& folder) {
  std::vector<std::string> out;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    out.push_back(fs::relative(entry.path(), folder).string());
  return out;
}

std::vector<std::string> CliRunner::Environment() const {
  return {"HOME=" + home_.string(), "XDG_CONFIG_HOME=" + config_.string(), "TMPDIR=" + temp_.string(),
          "PATH=/usr/bin:/bin", "LC_ALL=C"};
}

CliResult CliRunner::RunOnTerminal(const std::vector<std::string>& args) const {
  std::vector<std::string> env = Environment();
  std::vector<std::string> copy = args;
  std::string program = ZYNTA_CLI_PATH;
  std::vector<char*> argv = {program.data()};
  for (std::string& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  int terminal = -1;
  const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
  if (pid < 0) throw std::runtime_error("forkpty failed");
  if (pid == 0) {
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  CliResult r;
  char buf[1 << 16];
  ssize_t got = 0;
  // The terminal reports EIO once the program has ended and closed its side.
  while ((got = read(terminal, buf, sizeof buf)) > 0 || (got < 0 && errno == EINTR)) {
    if (got > 0) r.out.append(buf, static_cast<size_t>(got));
  }
  close(terminal);
  int status = 0;
  waitpid(pid, &status, 0);
  r.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

CliResult CliRunner::Run(const std::vector<std::string>& args, const std::string& input) const {
  int in[2], out[2], err[2];
  if (pipe(in) || pipe(out) || pipe(err)) throw std::runtime_error("pipe failed");
  std::vector<std::string> env = Environment();
  std::vector<char*> argv, envp;
  std::string program = ZYNTA_CLI_PATH;
  argv.push_back(program.data());
  std::vector<std::string> copy = args;
  for (std::string& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);

  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  std::signal(SIGPIPE, SIG_IGN);
  CliResult r;
  size_t written = 0;
  int writeFd = in[1];
  if (input.empty()) {
    close(writeFd);
    writeFd = -1;
  } else {
    fcntl(writeFd, F_SETFL, O_NONBLOCK);
  }
  bool outOpen = true, errOpen = true;
  char buf[1 << 16];
  while (outOpen || errOpen) {
    pollfd fds[3];
    int n = 0;
    if (outOpen) fds[n++] = {out[0], POLLIN, 0};
    if (errOpen) fds[n++] = {err[0], POLLIN, 0};
    if (writeFd >= 0) fds[n++] = {writeFd, POLLOUT, 0};
    if (poll(fds, static_cast<nfds_t>(n), -1) < 0) continue;
    for (int i = 0; i < n; ++i) {
      if (!fds[i].revents) continue;
      if (fds[i].fd == writeFd) {
        const ssize_t w = write(writeFd, input.data() + written, input.size() - written);
        if (w > 0) written += static_cast<size_t>(w);
        if (w < 0 || written == input.size()) {
          close(writeFd);
          writeFd = -1;
        }
        continue;
      }
      const ssize_t got = read(fds[i].fd, buf, sizeof buf);
      if (got <= 0) {
        (fds[i].fd == out[0] ? outOpen : errOpen) = false;
      } else {
        (fds[i].fd == out[0] ? r.out : r.err).append(buf, static_cast<size_t>(got));
      }
    }
  }
  if (writeFd >= 0) close(writeFd);
  close(out[0]);
  close(err[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  r.exit = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

}  // namespace zynta::clitest
