#include "cli/headless_calculator.h"

#include <algorithm>
#include <cstdlib>
#include <unistd.h>

#include "calc/catalog.h"
#include "calc/params.h"
#include "cli/safe_text.h"
#include "shell/solve.h"
#include "shell/undo.h"
#include "startup/program_folder.h"
#include "units/number_text.h"

namespace zynta::cli {

namespace fs = std::filesystem;
using namespace calc;

namespace {

fs::path MakePrivateFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = (tmp && *tmp ? std::string(tmp) : std::string("/tmp")) + "/zynta-cli-XXXXXX";
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder in " + pattern);
  return pattern;
}

bool IsDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The position of the entry of that text, letter case ignored; -1 for none.
int FindEntry(const std::vector<std::string>& items, std::string_view text) {
  for (size_t i = 0; i < items.size(); ++i) {
    if (SameText(items[i], text)) return static_cast<int>(i);
  }
  return -1;
}

std::string MaterialName(const std::string& entry) { return entry.substr(0, entry.find('=')); }

}  // namespace

std::string Join(const std::vector<std::string>& items, std::string_view separator) {
  std::string out;
  for (size_t i = 0; i < items.size(); ++i) {
    if (i) out += separator;
    out += items[i];
  }
  return out;
}

// Quoted text may come from anywhere: its control characters are shown, not sent.
std::string InQuotes(const std::string& text) { return "\"" + EscapeControls(text) + "\""; }

int ParamNamed(std::string_view id) {
  for (int i = 0; i < ParamCount; ++i) {
    if (SameText(id, ParamTable[static_cast<size_t>(i)].id)) return i;
  }
  return -1;
}

std::vector<std::string> ParamIds() {
  std::vector<std::string> ids;
  ids.reserve(ParamTable.size());
  for (const ParamInfo& info : ParamTable) ids.emplace_back(info.id);
  return ids;
}

const char* ParamId(int index) { return ParamTable[static_cast<size_t>(index)].id; }

fs::path OwnFolder() { return startup::RunningProgramFolder(fs::current_path() / "zynta-cli"); }

HeadlessCalculator::HeadlessCalculator(const fs::path& programDir) : root_(MakePrivateFolder()) {
  ui_.folders.appData = root_.string();
  form_ = std::make_unique<shell::TfrmZYNTA>(ui_, programDir);
  const bool created = form_->FormCreate();
  std::error_code ec;
  // The settings are read while the window is created and never saved: nothing is left
  // behind, even when the process is killed later.
  fs::remove_all(root_, ec);
  // Any message at start (a data file or the default settings missing) means the shipped
  // data is not what the answers would rest on.
  if (!created || !ui_.boxes.shown.empty()) {
    std::vector<std::string> why;
    for (const auto& box : ui_.boxes.shown) why.push_back(box.text);
    form_.reset();
    throw std::runtime_error(why.empty() ? "the calculator could not start" : Join(why, "; "));
  }
  form_->Show();
  ForgetHistory();
}

HeadlessCalculator::~HeadlessCalculator() {
  form_.reset();
  std::error_code ec;
  fs::remove_all(root_, ec);
}

void HeadlessCalculator::OpenListAndPick(platform::ComboBox& list, int position) {
  Focus(list);
  user_.OpenList(list);
  user_.PickInOpenList(list, position);
}

void HeadlessCalculator::PickEquation(const std::string& name) {
  if (form_->ComboEq.Text() == name) return;  // chosen already, as spelled in the list
  const auto items = Equations();
  const int i = FindEntry(items, name);
  if (i < 0) throw UsageError("unknown equation " + InQuotes(name) + "; equations: " + Join(items));
  if (form_->ComboEq.Text() == items[static_cast<size_t>(i)]) return;
  // The velocity problems hide the equation chooser: back to the first problem to reach it.
  if (!form_->ComboEq.CanFocus()) PickProblem("0");
  Focus(form_->ComboEq);
  user_.Pick(form_->ComboEq, i);
}

std::vector<std::string> HeadlessCalculator::Problems() const {
  std::vector<std::string> out;
  const auto items = form_->cbSolveFor.Items();
  for (size_t i = 0; i < items.size(); ++i) out.push_back(std::to_string(i) + " " + InQuotes(items[i]));
  return out;
}

void HeadlessCalculator::PickProblem(const std::string& which) {
  // Chosen already: the position of a batch's next row, most of the time.
  if (which.size() == 1 && which[0] >= '0' && which[0] <= '9' && form_->cbSolveFor.ItemIndex() == which[0] - '0')
    return;
  const auto items = form_->cbSolveFor.Items();
  int i = -1;
  if (IsDigits(which)) {
    if (which.size() <= 2) i = std::stoi(which);
    if (i >= static_cast<int>(items.size())) i = -1;
  } else {
    i = FindEntry(items, which);
  }
  if (i < 0)
    throw UsageError("unknown problem " + InQuotes(which) + " of " + Equation() +
                     "; problems: " + Join(Problems()));
  if (form_->cbSolveFor.ItemIndex() == i) return;
  Focus(form_->cbSolveFor);
  user_.Pick(form_->cbSolveFor, i);
}

std::string HeadlessCalculator::Spec() const {
  if (!form_->ComboSpec.Visible() || form_->ComboSpec.Text() == "None") return "";
  return form_->ComboSpec.Text();
}

bool HeadlessCalculator::PickSpec(const std::string& name) {
  const auto items = Specs();
  const int i = FindEntry(items, name);
  if (i < 0) throw UsageError("unknown pipe spec " + InQuotes(name) + "; specifications: " + Join(items));
  if (!form_->ComboSpec.CanFocus()) return false;
  Focus(form_->ComboSpec);
  user_.Pick(form_->ComboSpec, i);
  return true;
}

bool HeadlessCalculator::PickSize(const std::string& size) {
  if (form_->ComboSpec.Text() == "None") throw UsageError("the size " + InQuotes(size) + " needs a pipe spec");
  const auto items = Sizes();
  int i = FindEntry(items, size);
  if (i < 0) {
    // "2.0" names the entry "2": sizes compare as numbers too.
    if (const auto wanted = units::ParseFieldNumber(size)) {
      for (size_t j = 0; j < items.size() && i < 0; ++j) {
        const auto n = units::ParseFieldNumber(items[j]);
        if (n && *n == *wanted) i = static_cast<int>(j);
      }
    }
  }
  if (i < 0)
    throw UsageError("unknown size " + InQuotes(size) + " of " + form_->ComboSpec.Text() +
                     "; sizes: " + Join(items));
  if (!form_->NDiaList.CanFocus()) return false;
  OpenListAndPick(form_->NDiaList, i);
  return true;
}

bool HeadlessCalculator::PickFluid(const std::string& name) {
  const auto items = Fluids();
  const int i = FindEntry(items, name);
  if (i < 0) throw UsageError("unknown fluid " + InQuotes(name) + "; fluids: " + Join(items));
  if (!form_->cbVisList.CanFocus()) return false;
  OpenListAndPick(form_->cbVisList, i);
  return true;
}

bool HeadlessCalculator::PickMaterial(const std::string& name) {
  if (!form_->cbFricList.CanFocus()) return false;
  platform::ComboBox& list = form_->cbFricList;
  Focus(list);
  user_.OpenList(list);  // the list is filled for the equation as it opens
  const auto items = list.Items();
  int i = -1;
  std::vector<std::string> names;
  for (size_t j = 0; j < items.size(); ++j) {
    names.push_back(MaterialName(items[j]));
    if (i < 0 && (SameText(names.back(), name) || SameText(items[j], name))) i = static_cast<int>(j);
  }
  if (i < 0) {
    user_.CloseList(list);
    throw UsageError("unknown material " + InQuotes(name) + " for " + Equation() + "; materials: " + Join(names));
  }
  user_.PickInOpenList(list, i);
  return true;
}

bool HeadlessCalculator::SetDecimals(int index, int decimals) {
  platform::TextField& field = *form_->Edits[static_cast<size_t>(index)];
  if (!field.Visible()) return false;
  if (form_->P(index).Decimals == decimals) return true;
  platform::RecMenu& menu = ui_.MenuNamed("EditPopupMenu");
  if (!user_.RightClick(field, menu))
    throw UsageError(std::string(ParamId(index)) + " has no decimal places to choose");
  static const std::string places = "Decimal places";
  const std::string caption = std::to_string(decimals);
  if (!user_.ChooseInMenu(menu, &places, &caption)) {
    std::vector<std::string> offered;
    if (const platform::RecMenu* sub = menu.Submenu(places)) offered = sub->Captions();
    throw UsageError("decimal places " + caption + " for " + ParamId(index) +
                     " are not offered; choose from: " + Join(offered));
  }
  return true;
}

bool HeadlessCalculator::HasUnits(int index) const {
  return ParamTable[static_cast<size_t>(index)].catalog[0] != '\0';
}

const std::vector<std::string>& HeadlessCalculator::Units(int index) const {
  return form_->ParamTypes[static_cast<size_t>(index)]->Units;
}

int HeadlessCalculator::UnitPosition(int index, std::string_view unit) const {
  if (!HasUnits(index)) return -1;
  return FindEntry(Units(index), unit);
}

std::string HeadlessCalculator::DefaultUnit(int index) const {
  if (!HasUnits(index)) return "";
  const auto& units = Units(index);
  const int d = ParamTable[static_cast<size_t>(index)].defaultUnitIndex;
  return d < static_cast<int>(units.size()) ? units[static_cast<size_t>(d)] : units.front();
}

std::string HeadlessCalculator::BaseUnit(int index) const {
  if (!HasUnits(index) || (index == Fric && !form_->UnitLabels[Fric]->Visible())) return "";
  return DefaultUnit(index);
}

bool HeadlessCalculator::SetUnit(int index, const std::string& unit) {
  if (!HasUnits(index)) throw UsageError(std::string(ParamId(index)) + " has no units");
  {
    // Already in that unit, as the catalog spells it: the common case of a batch's rows.
    const TParamType& p = form_->P(index);
    const auto u = static_cast<size_t>(p.UnitIndex);
    if (u < p.Units.size() && p.Units[u] == unit && p.UnitLabel->Caption() == unit) return p.UnitLabel->Visible();
  }
  const int u = UnitPosition(index, unit);
  if (u < 0)
    throw UsageError("unknown unit " + InQuotes(unit) + " for " + ParamId(index) +
                     "; units: " + Join(Units(index)));
  platform::Label& label = *form_->UnitLabels[static_cast<size_t>(index)];
  if (!label.Visible()) return false;
  const TParamType& p = form_->P(index);
  const std::string& name = p.Units[static_cast<size_t>(u)];
  if (p.UnitIndex == u && label.Caption() == name) return true;
  platform::RecMenu& menu = ui_.MenuNamed("UnitsPopupMenu");
  if (!user_.RightClick(label, menu) || !user_.ChooseInMenu(menu, nullptr, &name))
    throw UsageError(std::string(ParamId(index)) + " has no unit menu");
  return true;
}

bool HeadlessCalculator::IsInput(int index) const {
  const TParamType& p = *form_->ParamTypes[static_cast<size_t>(index)];
  return p.Role == RoleEntry && p.Edit->CanFocus();
}

bool HeadlessCalculator::IsResult(int index) const {
  const TParamType& p = *form_->ParamTypes[static_cast<size_t>(index)];
  return p.Role == RoleResult && p.Edit->Visible();
}

bool HeadlessCalculator::IsShown(int index) const { return form_->Edits[static_cast<size_t>(index)]->Visible(); }

std::string HeadlessCalculator::Text(int index) const { return form_->Edits[static_cast<size_t>(index)]->Text(); }

double HeadlessCalculator::Value(int index) const {
  return form_->ParamTypes[static_cast<size_t>(index)]->ParamValue;
}

std::string HeadlessCalculator::Caption(int index) const {
  std::string caption = form_->NameLabels[static_cast<size_t>(index)]->Caption();
  while (!caption.empty() && (caption.back() == ' ' || caption.back() == ':')) caption.pop_back();
  return caption;
}

std::string HeadlessCalculator::ShownUnit(int index) const {
  const platform::Label& label = *form_->UnitLabels[static_cast<size_t>(index)];
  return HasUnits(index) && label.Visible() ? label.Caption() : "";
}

std::string HeadlessCalculator::RegimeText() const { return form_->lbReyNoUn.Caption(); }

std::vector<std::string> HeadlessCalculator::Inputs() const {
  std::vector<std::string> out;
  for (int i = 0; i < ParamCount; ++i) {
    if (IsInput(i)) out.emplace_back(ParamId(i));
  }
  return out;
}

std::string HeadlessCalculator::NotAnInputText(int index) const {
  const TParamType& p = *form_->ParamTypes[static_cast<size_t>(index)];
  const std::string problem = InQuotes(Problem()) + " (" + Equation() + ")";
  std::string why;
  if (p.Role == RoleResult) {
    why = " is a result of ";
  } else if (p.Role == RoleEntry && p.Edit->Visible() && !p.Edit->Enabled()) {
    why = " is fixed at " + p.Edit->Text() + " " + ShownUnit(index) + " in ";
  } else {
    why = " is not an input of ";
  }
  return std::string(ParamId(index)) + why + problem + "; inputs: " + Join(Inputs());
}

void HeadlessCalculator::SetAllDecimals(const std::array<int, ParamCount>& decimals) {
  for (int i = 0; i < ParamCount; ++i) form_->P(i).Decimals = decimals[static_cast<size_t>(i)];
}

HeadlessCalculator::Entry HeadlessCalculator::Enter(int index, const std::string& text, Digits digits) {
  if (!IsInput(index)) return Entry::NotAnInput;
  // Each key re-reads the field's whole text: a bounded text keeps the cost of typing it bounded.
  if (text.size() > MaxEntryChars)
    throw UsageError(std::string(ParamId(index)) + ": a value longer than " + std::to_string(MaxEntryChars) +
                     " characters");
  if (digits == Digits::AsWritten) {
    int& decimals = form_->P(index).Decimals;
    decimals = std::max(decimals, units::DecimalsWritten(text, units::DecimalSeparator()));
  }
  platform::TextField& field = *form_->Edits[static_cast<size_t>(index)];
  Focus(field);
  if (ui_.window.Focused() != &field)
    throw std::runtime_error(std::string(ParamId(index)) + " cannot take the focus");
  form_->Outcome = {};
  // All selected, then typed; a key that moves the focus away drops the rest, as the window does.
  user_.Type(field, text.empty() ? std::string("\b") : text, true);
  Focus(form_->cbSolveFor);  // leaving the field commits it
  return form_->Outcome.notANumber ? Entry::BadValue : Entry::Done;
}

void HeadlessCalculator::Leave() { Focus(form_->cbSolveFor); }

bool HeadlessCalculator::FocusHoldsValue() const {
  const platform::Control* focused = ui_.window.Focused();
  for (platform::TextField* field : form_->Edits) {
    if (field == focused) return !field->Text().empty() && field->Text() != ResultMarker;
  }
  return false;
}

calc::RecordStore HeadlessCalculator::Records() const {
  calc::RecordStore store;
  store.equation = EquationOf(form_->EquationText());
  store.problem = form_->cbSolveFor.ItemIndex();
  for (int i = 0; i < ParamCount; ++i) {
    const TParamType& p = *form_->ParamTypes[static_cast<size_t>(i)];
    calc::FieldRecord& field = store.Field(i);
    field.text = p.Edit->Text();
    field.unit = p.UnitLabel->Caption();
    field.factor = p.Factors[static_cast<size_t>(p.UnitIndex)];
    field.decimals = p.Decimals;
    field.value = p.ParamValue;
    field.role = p.Role;
    field.visible = p.Edit->Visible();
    field.input = IsInput(i);
  }
  return store;
}

void HeadlessCalculator::Show(const calc::RecordStore& store, const calc::SolveOutcome& outcome, bool typed,
                              bool ranSolve) {
  shell::TfrmZYNTA& f = *form_;
  // The window is unsolved since Clear Fields: the status and the regime follow below.
  for (int i = 0; i < ParamCount; ++i) {
    TParamType& p = f.P(i);
    const calc::FieldRecord& field = store.Field(i);
    p.ParamValue = field.value;
    p.Decimals = field.decimals;
    if (p.Edit->Text() != field.text) p.Edit->SetText(field.text);  // the regime follows
  }
  if (store.regimeShown) f.lbReyNoUn.SetVisible(*store.regimeShown);
  if (typed) Focus(f.cbSolveFor);  // each value typed ends by leaving its field
  if (store.focus >= 0) {
    platform::TextField& field = *f.Edits[static_cast<size_t>(store.focus)];
    if (f.Window.Shown() && field.CanFocus()) f.Window.SetFocus(field);
  }
  if (ranSolve && outcome.kind == calc::SolveOutcome::Kind::Solved) {
    MarkSolved(f, true);
  } else {
    f.StatusBar.SetText(outcome.status);
    f.Outcome = outcome;
  }
}

void HeadlessCalculator::ClearFields() { user_.MenuCommand(form_->ClearFields2); }

void HeadlessCalculator::Solve() { user_.MenuCommand(form_->Solve1); }

platform::PlotData HeadlessCalculator::Plot() {
  ui_.plots.shown.clear();
  user_.MenuCommand(form_->Plot1);
  if (ui_.plots.shown.empty()) return {};
  platform::PlotData data = std::move(ui_.plots.shown.back());
  ui_.plots.shown.clear();
  return data;
}

std::string HeadlessCalculator::Report() {
  user_.MenuCommand(form_->CopytoClipboard2);
  return ui_.clipboard.Text();
}

void HeadlessCalculator::ForgetHistory() {
  form_->SnapshotStack.clear();  // keeps its storage: the next rows reuse it
  shell::SetUndoAvailable(*form_, false);
  ui_.boxes.shown.clear();
  ui_.beeper.beeps.clear();
}

}  // namespace zynta::cli
