#pragma once
// Runs the zynta-cli binary as a user's shell would: arguments, standard input, and an
// environment whose home, settings and temporary folders are fresh and private to the run.

#include <filesystem>
#include <string>
#include <vector>

namespace zynta::clitest {

struct CliResult {
  int exit = -1;  // the exit status, or -1 when the program did not exit normally
  std::string out;
  std::string err;
};

class CliRunner {
 public:
  CliRunner();
  ~CliRunner();
  CliRunner(const CliRunner&) = delete;
  CliRunner& operator=(const CliRunner&) = delete;

  CliResult Run(const std::vector<std::string>& args, const std::string& input = "") const;
  // Runs with a terminal as standard input, output and error; both outputs land in `out`.
  CliResult RunOnTerminal(const std::vector<std::string>& args) const;

  // The folders the program sees as $HOME, $XDG_CONFIG_HOME and $TMPDIR.
  const std::filesystem::path& Home() const { return home_; }
  const std::filesystem::path& Config() const { return config_; }
  const std::filesystem::path& Temp() const { return temp_; }
  // Every file and folder under a folder, as relative paths.
  static std::vector<std::string> Contents(const std::filesystem::path& folder);

 private:
  std::vector<std::string> Environment() const;

  std::filesystem::path root_, home_, config_, temp_;
};

}  // namespace zynta::clitest
