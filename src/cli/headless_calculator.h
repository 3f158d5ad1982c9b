#pragma once
// The calculator window without a screen: the desktop program's window model on the recording
// platform, created on the shipped data beside this tool and driven only as a person drives it
// (focus, typing, picks from the choosers and lists, the unit and field menus, the menu
// commands). Whatever it shows is what the window shows.
//
// Its settings live in a private temporary folder, so the user's own settings file is never
// read or written; the folder is removed with the calculator.

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "calc/record_store.h"
#include "cli/recording_driver.h"
#include "platform/recording.h"
#include "shell/frm_zynta.h"
#include "units/same_text.h"

namespace zynta::cli {

// An argument or a cell that names something the calculator does not offer; the text names
// what was asked and lists what is valid.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Letter case ignored (ASCII).
using units::SameText;
std::string Join(const std::vector<std::string>& items, std::string_view separator = ", ");
// "abc" in double quotes, its control characters escaped (see EscapeControls).
std::string InQuotes(const std::string& text);

// The parameter of an identifier ("Flow", "flow"); -1 for none.
int ParamNamed(std::string_view id);
std::vector<std::string> ParamIds();
const char* ParamId(int index);

// The program folder of this tool: the shipped data beside it, or <prefix>/share/zynta.
std::filesystem::path OwnFolder();

class HeadlessCalculator {
 public:
  // Creates and shows the window. Throws std::runtime_error with the window's message when it
  // cannot be created (a data file is missing).
  explicit HeadlessCalculator(const std::filesystem::path& programDir = OwnFolder());
  ~HeadlessCalculator();
  HeadlessCalculator(const HeadlessCalculator&) = delete;
  HeadlessCalculator& operator=(const HeadlessCalculator&) = delete;

  shell::TfrmZYNTA& Form() { return *form_; }
  const shell::TfrmZYNTA& Form() const { return *form_; }
  platform::RecordingPlatform& Ui() { return ui_; }

  // --- the choosers and lists. A name that is not offered is a UsageError listing what is;
  // false means the chosen problem does not show the control at all.
  void PickEquation(const std::string& name);
  // A position (0 to 6) or a problem's text.
  void PickProblem(const std::string& which);
  bool PickSpec(const std::string& name);
  bool PickSize(const std::string& size);
  bool PickFluid(const std::string& name);
  bool PickMaterial(const std::string& name);

  // --- the parameter rows
  // Decimal places through the field's menu; false when the row is hidden.
  bool SetDecimals(int index, int decimals);
  // A unit of the parameter's catalog (letter case ignored) through the unit label's menu;
  // false when the unit label is hidden.
  bool SetUnit(int index, const std::string& unit);
  enum class Entry { Done, NotAnInput, BadValue };
  // Decimals for a value about to be typed: the field's rise to those the value is written
  // with, so that no digit given is rounded away when the field is left (up to the 7
  // significant digits a field shows). Decimals chosen for the field stay as they are.
  enum class Digits { AsWritten, AsChosen };
  // Focus, select all, type the text key by key, leave the field. A text of more than
  // MaxEntryChars bytes is a UsageError: no number a field takes is that long.
  static constexpr size_t MaxEntryChars = 256;
  Entry Enter(int index, const std::string& text, Digits digits = Digits::AsWritten);
  // The twelve fields as plain records, for a solve without the window's events, and the
  // window showing what such typing (typed: some value was) and solve (ranSolve) came to, as
  // if its own had.
  calc::RecordStore Records() const;
  void Show(const calc::RecordStore& store, const calc::SolveOutcome& outcome, bool typed, bool ranSolve);
  // The focus to the problem chooser, as leaving a field moves it; whether the focus is in a
  // field that holds a value (a Solve would commit it).
  void Leave();
  bool FocusHoldsValue() const;
  // The decimals of every parameter, as a new row of a batch starts from them.
  void SetAllDecimals(const std::array<int, calc::ParamCount>& decimals);

  // --- the menu commands
  void ClearFields();
  void Solve();
  // Copy to Clipboard: the report, with its CR LF line ends.
  std::string Report();
  // Tools, "Plot...": what the plot window shows (or not ok, with its notice).
  platform::PlotData Plot();

  // Drops the undo history and the recorded message boxes, so a long run keeps its size.
  void ForgetHistory();

  // --- what the window shows
  std::string Status() const { return ui_.status.Text(); }
  bool Solved() const { return form_->Solved; }
  // What the last Solve or value typed came to.
  const calc::SolveOutcome& Outcome() const { return form_->Outcome; }
  const std::vector<platform::RecordedBox>& Messages() const { return ui_.boxes.shown; }
  std::string Equation() const { return form_->ComboEq.Text(); }
  std::string Problem() const { return form_->cbSolveFor.Text(); }
  int ProblemPosition() const { return form_->cbSolveFor.ItemIndex(); }
  // The pipe spec as the report names it: "" for none or when the chooser is hidden.
  std::string Spec() const;
  bool IsInput(int index) const;   // an entry that can be typed into now
  bool IsResult(int index) const;  // a visible result
  bool IsShown(int index) const;
  std::string Text(int index) const;
  double Value(int index) const;         // in the base unit
  std::string Caption(int index) const;  // the row's name, without the colon
  // The unit label's caption while it is visible, for a parameter with units; otherwise "".
  std::string ShownUnit(int index) const;
  std::string BaseUnit(int index) const;  // "" for none
  std::string RegimeText() const;         // the flow-regime label beside the Reynolds number

  // --- what is offered, for the messages
  std::vector<std::string> Equations() const { return form_->ComboEq.Items(); }
  std::vector<std::string> Problems() const;  // '0 "HL given D,L,C,Q"', ...
  std::vector<std::string> Specs() const { return form_->ComboSpec.Items(); }
  std::vector<std::string> Sizes() const { return form_->NDiaList.Items(); }
  std::vector<std::string> Fluids() const { return form_->cbVisList.Items(); }
  std::vector<std::string> Inputs() const;
  bool HasUnits(int index) const;
  const std::vector<std::string>& Units(int index) const;
  // The catalog position of a unit name (letter case ignored); -1 for none.
  int UnitPosition(int index, std::string_view unit) const;
  // The catalog's default unit: the base unit the parameter is computed in.
  std::string DefaultUnit(int index) const;
  // "Flow is not an input of ..." with the inputs listed.
  std::string NotAnInputText(int index) const;

 private:
  void Focus(platform::Control& control) { user_.Focus(control); }
  void OpenListAndPick(platform::ComboBox& list, int position);

  std::filesystem::path root_;  // the private application-data folder
  platform::RecordingPlatform ui_;
  RecordingDriver user_{ui_};  // the user's actions, as the scenario scripts act
  std::unique_ptr<shell::TfrmZYNTA> form_;
};

}  // namespace zynta::cli
