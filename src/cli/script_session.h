#pragma once
// One run of one scenario script: its private program and settings folders, the lines and
// their expectations with their counts. How the user acts and how the screen is read is the
// driver's (script_driver.h): the recording platform for zynta-cli, the Qt window for
// zynta-gui-scenarios.

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <stdexcept>
#include <string>

#include "cli/script_driver.h"
#include "cli/script_runner.h"
#include "cli/script_text.h"
#include "shell/frm_zynta.h"
#include "startup/program_start.h"

namespace zynta::cli {

class Session {
 public:
  Session(std::filesystem::path file, const ScriptOptions& options, std::ostream& out, std::ostream& err);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  void Run(const std::string& content);
  const ScriptTotals& Totals() const { return totals_; }
  void Dump(std::ostream& out) const;

 private:
  // Runs lines up to the end of the script or an error, or (with a condition) as long as it holds.
  void RunLines(const std::function<bool()>& whileTrue);
  void RunLine(const std::string& line, int number);
  bool Setup(const std::string& verb, LineReader& r);
  void Action(const std::string& verb, LineReader& r);
  void Expect(LineReader& r);
  void ExpectState(const std::string& what, LineReader& r);
  void ExpectRecorded(const std::string& what, LineReader& r);

  void Start();
  void SecondStart();
  shell::TfrmZYNTA& Form() const;
  void WindowAction(const std::string& verb, LineReader& r);
  void AboutAction(const std::string& verb);
  void Stop();
  std::filesystem::path SettingsFolder() const;
  std::filesystem::path AppdataFile(const std::string& name) const;
  void OpenListAndPick(platform::ComboBox& list, const std::string& entry, bool beforeEquals);
  void RequireShown() const;
  std::string TextArg(LineReader& r, bool crlf = false);
  std::string RawTextArg(LineReader& r, bool crlf);
  std::string Expanded(std::string text) const;
  bool expecting_ = false;
  void Check(bool ok, const std::string& expected, const std::string& got);

  // Names of the window's controls.
  platform::Control& ControlNamed(const std::string& name) const;
  platform::TextField& FieldOf(const std::string& param) const;
  platform::Menu& MenuNamed(const std::string& name) const;
  int ParamNamed(const std::string& param) const;
  const calc::TParamType& Record(int index) const;
  std::string NameOf(const platform::Control* control) const;
  std::string TextOf(const std::string& name) const;

  void Focus(platform::Control& control);
  void TypeInto(platform::TextField& field, const std::string& text, bool selectAll);
  void Pick(platform::ComboBox& combo, const std::string& entry);

  std::filesystem::path file_;
  std::ostream& out_;
  std::ostream& err_;
  ScriptTotals totals_;
  int line_ = 0;
  bool stopped_ = false;  // an error ended the script
  std::unique_ptr<ScriptLines> lines_;

  std::filesystem::path root_;
  ScriptFolders folders_;

  std::unique_ptr<ScriptDriver> driver_;
  bool started_ = false;
  bool running_ = false;
  size_t openedSeen_ = 0;
  size_t beepsSeen_ = 0;
  size_t messagesSeen_ = 0;
  size_t captionsSeen_ = 0;

  // What the services answer (kept for the parts of the program that ask).
  ScriptAnswers answers_;
};

}  // namespace zynta::cli
