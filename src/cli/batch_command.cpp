#include "cli/batch_command.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <optional>
#include <ostream>
#include <string_view>

#include "calc/catalog.h"
#include "calc/params.h"
#include "calc/record_store.h"
#include "cli/csv_stream.h"
#include "cli/headless_calculator.h"
#include "cli/json_report.h"
#include "cli/solve_command.h"
#include "units/number_text.h"

namespace zynta::cli {

using namespace calc;

const char* const BatchHelp =
    "usage: zynta-cli batch [--json] FILE|-\n"
    "\n"
    "Solves every row of a CSV file (- for standard input) on one calculator started\n"
    "on the shipped data, and writes the same CSV to standard output with the result\n"
    "columns and the status column filled: one output row per input row, in order.\n"
    "A row that cannot be solved says why in its own status cell; the run goes on.\n"
    "\n"
    "The header row names the columns, in any order, letter case ignored:\n"
    "  equation         Hazen-Williams, Darcy-Weisbach or Mannings\n"
    "                   (empty: Hazen-Williams)\n"
    "  problem          the problem's position (0 to 6) or its text (empty: 0)\n"
    "  PARAM [UNIT]     a parameter (IDia, Area, Len, Fric, Vis, SG, Flow, HL, Vel,\n"
    "                   ReyNo, FricFact) in a unit of its catalog, as\n"
    "                   \"Flow [gpm]\" or \"Len [ft]\"; without a unit the catalog's\n"
    "                   default (in, in2, ft, cSt, gpm, ftliq, ft/s); the unit of\n"
    "                   Fric is the roughness's, Hazen-Williams C and Manning's n\n"
    "                   being plain numbers\n"
    "  PARAM decimals   decimal places shown for the parameter (1 to 6; empty: as\n"
    "                   shipped)\n"
    "  spec, size, fluid, material   picks from the window's lists (the size sets\n"
    "                   the nominal and the inside diameter)\n"
    "  status           filled with the status bar's text (\"Solved!\",\n"
    "                   \"Invalid Flow!\", ...) or the reason the row failed\n"
    "\n"
    "Each row starts from empty fields (Clear Fields after its equation and problem\n"
    "are picked); its input cells are typed into their fields in the header's\n"
    "units, cells of parameters the row's problem does not take are left as they\n"
    "are, and every result is written as the window shows it, in the header's unit.\n"
    "A cell is used with every digit it is written with (up to the 7 significant\n"
    "digits a field holds): its field's decimals rise to the cell's, unless the\n"
    "row's \"PARAM decimals\" cell names them.\n"
    "Results without a column get one at the end (IDia, Area, Flow, HL, Vel, ReyNo,\n"
    "FricFact in their default units), then status when there is none.\n"
    "\n"
    "Options:\n"
    "  --json        one JSON object per row instead (JSON Lines): \"row\", \"solved\",\n"
    "                \"status\" and every visible field, as solve --json prints them\n"
    "  -h, --help    this text\n"
    "\n"
    "Rows are read, solved and written one at a time: memory does not grow with the\n"
    "number of rows.\n"
    "\n"
    "Exit status: 0 every row solved; 1 some row not solved; 2 a usage error (the\n"
    "arguments, a file that cannot be read, a bad header).\n";

namespace {

// Blank: a column without a name (a trailing comma), written back as it is.
enum class Kind { Equation, Problem, Status, Spec, Size, Fluid, Material, Param, Decimals, Blank };
constexpr size_t KindCount = 10;

struct Column {
  Kind kind = Kind::Param;
  int index = -1;    // the parameter
  std::string unit;  // the catalog's spelling; "" for none
  bool explicitUnit = false;
  std::string name;  // the header cell as written
};

// Every parameter some problem has as a result, in parameter order.
constexpr std::array<int, 7> ResultParams = {IDia, Area, Flow, HL, Vel, ReyNo, FricFact};

std::string_view TrimView(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Trim(std::string_view text) { return std::string(TrimView(text)); }

std::string ValidColumns() {
  return "equation, problem, spec, size, fluid, material, status, \"PARAM [UNIT]\", \"PARAM decimals\"; "
         "parameters: " +
         Join(ParamIds());
}

Column ParseColumn(const std::string& cell, const HeadlessCalculator& calc) {
  Column col;
  col.name = cell;
  const std::string name = Trim(cell);
  if (name.empty()) {
    col.kind = Kind::Blank;
    return col;
  }
  static const std::array<std::pair<const char*, Kind>, 7> words = {{{"equation", Kind::Equation},
                                                                     {"problem", Kind::Problem},
                                                                     {"status", Kind::Status},
                                                                     {"spec", Kind::Spec},
                                                                     {"size", Kind::Size},
                                                                     {"fluid", Kind::Fluid},
                                                                     {"material", Kind::Material}}};
  for (const auto& [word, kind] : words) {
    if (SameText(name, word)) {
      col.kind = kind;
      return col;
    }
  }
  std::string id = name;
  const std::string decimalsWord = " decimals";
  if (name.size() > decimalsWord.size() &&
      SameText(std::string_view(name).substr(name.size() - decimalsWord.size()), decimalsWord)) {
    col.kind = Kind::Decimals;
    id = Trim(std::string_view(name).substr(0, name.size() - decimalsWord.size()));
  } else if (const size_t open = name.find('['); open != std::string::npos) {
    if (name.back() != ']')
      throw UsageError("bad column " + InQuotes(cell) + ": a unit is written \"Flow [gpm]\"");
    id = Trim(std::string_view(name).substr(0, open));
    col.unit = Trim(std::string_view(name).substr(open + 1, name.size() - open - 2));
    col.explicitUnit = true;
  }
  col.index = ParamNamed(id);
  if (col.index < 0) throw UsageError("unknown column " + InQuotes(cell) + "; columns: " + ValidColumns());
  if (col.index == NDia && col.kind == Kind::Param)
    throw UsageError("column " + InQuotes(cell) + ": the nominal diameter is chosen in the size column");
  if (col.kind == Kind::Decimals) return col;
  if (col.explicitUnit) {
    if (!calc.HasUnits(col.index))
      throw UsageError("column " + InQuotes(cell) + ": " + ParamId(col.index) + " has no units");
    const int u = calc.UnitPosition(col.index, col.unit);
    if (u < 0)
      throw UsageError("column " + InQuotes(cell) + ": unknown unit " + InQuotes(col.unit) + " for " +
                       ParamId(col.index) + "; units: " + Join(calc.Units(col.index)));
    col.unit = calc.Units(col.index)[static_cast<size_t>(u)];
  } else {
    col.unit = calc.DefaultUnit(col.index);
  }
  return col;
}

// Whether the window's focus, where a row solved on records leaves it, is on a control that
// the next row's first value leaves without effect: the problem chooser (where each value typed
// ends) or a field that Clear Fields empties, which are all but the fixed viscosity of
// Hazen-Williams and Mannings. A row that typed nothing leaves the focus where it was unless
// its refusal gives it to an input.
bool FocusLeftClear(const calc::RecordStore& store, bool typed) {
  const int focus = store.focus;
  if (focus == Vis && store.equation != Equation::DarcyWeisbach) return false;
  if (focus >= 0 && store.Field(focus).input) return true;
  return typed;
}

class Batch {
 public:
  Batch(HeadlessCalculator& calc, bool json, bool fast, std::ostream& out)
      : calc_(calc), json_(json), fast_(fast), out_(out) {
    defaultEquation_ = calc.Equation();
    defaultProblem_ = std::to_string(calc.ProblemPosition());
    for (int i = 0; i < ParamCount; ++i) defaultDecimals_[static_cast<size_t>(i)] = calc.Form().P(i).Decimals;
  }

  void Header(const std::vector<std::string>& cells, bool crlf);
  const BatchCounts& Counts() const { return counts_; }
  // Writes out the lines kept back.
  void Flush();
  // False when the row was not solved. A row the reader refused (`refusal` says why) is not
  // solved: its status cell says why.
  bool Row(const std::vector<std::string>& cells, const std::string& refusal = "");

 private:
  const std::string& Cell(Kind kind) const;
  // False when a value was refused ("Bad value!"): the row is not solved.
  bool Run();
  // Whether this row's cell of a "PARAM decimals" column names the parameter's decimals.
  bool DecimalsChosen(int index) const { return decimalsChosen_[static_cast<size_t>(index)]; }
  // A row without picks, decimals the records cannot take or keys other than characters: its
  // values are typed and solved on plain records (RunOnRecords), which the window then shows,
  // since that gives what the window's own typing and Solve give. nullopt when the row needs
  // the window after all (a floating-point fault, reported in the window's words).
  // `start` is the row's fields as it starts when the window is behind; null when the window
  // shows them.
  bool PlainRow(const calc::RecordStore* start) const;
  bool RecordsTakeDecimals(int index, const std::string& cell, const calc::RecordStore* start) const;
  std::optional<bool> RunOnRecords();
  // The row's decimals and values on `store`, as RunOnRecords gives them; nullopt when the
  // window must solve the row.
  std::optional<bool> SolveOnRecords(calc::RecordStore& store, bool& typed, calc::SolveOutcome& outcome);
  // A row whose equation and problem cells are those of the row before, solved on records: it
  // starts from what Clear Fields leaves of that row, and the window is not touched.
  bool SteadyRow() const;
  std::optional<bool> RunSteady(SolveOutcome& outcome);
  void KeepForSteady(const calc::RecordStore& store, const calc::SolveOutcome& outcome, bool typed, bool ranSolve);
  // The window brought to show the last steady row, as if it had been solved there (for the
  // rows that need the window, and for each row of a JSON report).
  void CatchUpWindow();
  void Write(const SolveOutcome& outcome, bool ranSolve, const calc::RecordStore* store);

  HeadlessCalculator& calc_;
  bool json_;
  bool fast_;
  BatchCounts counts_;
  std::ostream& out_;
  std::string eol_ = "\n";
  std::string defaultEquation_;
  std::string defaultProblem_;
  std::array<int, ParamCount> defaultDecimals_{};

  std::vector<Column> columns_;  // input columns, then the added ones
  size_t inputCount_ = 0;
  size_t statusColumn_ = 0;
  std::array<int, KindCount> special_{};  // the column of each single-column kind, -1 for none

  // The last row solved on records, and what the next such row starts from: the fields as
  // that row's Clear Fields left them (the texts set by the roles alone, the viscosity fixed
  // under Hazen-Williams and Mannings), the units of the header, the decimals as shipped and
  // the values the last row left.
  struct Steady {
    bool next = false;              // the next row may start from `last`
    bool windowBehind = false;      // the window does not show `last` yet
    std::string equation, problem;  // the row's cells
    calc::RecordStore start;
    // The last row's fields and those of the row being solved, in turn; both hold the units
    // and roles of `start`.
    std::array<calc::RecordStore, 2> stores;
    size_t lastStore = 0;
    calc::RecordStore& Last() { return stores[lastStore]; }
    calc::RecordStore& Work() { return stores[1 - lastStore]; }
    calc::SolveOutcome outcome;
    bool typed = false;
    bool ranSolve = false;
    std::optional<bool> regimeShown;  // the regime label as the rows since the window's left it
  } steady_;

  long row_ = 0;
  std::vector<std::string> cells_;  // the row being solved, one per column
  std::array<bool, ParamCount> decimalsChosen_{};
  std::string entry_;  // a value cell as typed
  // The output not yet written: whole lines, written out in blocks.
  std::string line_;
  void Emit();
  const std::string empty_;
};

void Batch::Header(const std::vector<std::string>& cells, bool crlf) {
  eol_ = crlf ? "\r\n" : "\n";
  special_.fill(-1);
  std::array<bool, ParamCount> valueColumn{};
  std::array<bool, ParamCount> decimalsColumn{};
  for (const std::string& cell : cells) {
    Column col = ParseColumn(cell, calc_);
    if (col.kind == Kind::Blank) {
      // nothing to check
    } else if (col.kind == Kind::Param || col.kind == Kind::Decimals) {
      bool& seen = (col.kind == Kind::Param ? valueColumn : decimalsColumn)[static_cast<size_t>(col.index)];
      if (seen) throw UsageError("column " + InQuotes(cell) + ": " + ParamId(col.index) + " has two columns");
      seen = true;
    } else {
      int& at = special_[static_cast<size_t>(col.kind)];
      if (at >= 0) throw UsageError("two " + InQuotes(Trim(cell)) + " columns");
      at = static_cast<int>(columns_.size());
    }
    columns_.push_back(std::move(col));
  }
  inputCount_ = columns_.size();
  for (const int index : ResultParams) {
    if (valueColumn[static_cast<size_t>(index)]) continue;
    Column col;
    col.index = index;
    col.unit = calc_.DefaultUnit(index);
    col.name = std::string(ParamId(index)) + (col.unit.empty() ? "" : " [" + col.unit + "]");
    columns_.push_back(std::move(col));
  }
  if (special_[static_cast<size_t>(Kind::Status)] < 0) {
    Column col;
    col.kind = Kind::Status;
    col.name = "status";
    special_[static_cast<size_t>(Kind::Status)] = static_cast<int>(columns_.size());
    columns_.push_back(std::move(col));
  }
  statusColumn_ = static_cast<size_t>(special_[static_cast<size_t>(Kind::Status)]);
  if (json_) return;
  for (size_t c = 0; c < columns_.size(); ++c) {
    if (c) line_ += ',';
    AppendCsvCell(line_, columns_[c].name);
  }
  line_ += eol_;
  Emit();
}

void Batch::Emit() {
  constexpr size_t Block = 1 << 16;
  if (line_.size() >= Block) Flush();
}

void Batch::Flush() {
  out_ << line_;
  line_.clear();
}

const std::string& Batch::Cell(Kind kind) const {
  const int at = special_[static_cast<size_t>(kind)];
  return at < 0 ? empty_ : cells_[static_cast<size_t>(at)];
}

bool Batch::Row(const std::vector<std::string>& cells, const std::string& refusal) {
  ++row_;
  cells_.resize(columns_.size());
  for (size_t c = 0; c < columns_.size(); ++c) {
    if (c < inputCount_ && c < cells.size()) {
      cells_[c].assign(cells[c]);
    } else {
      cells_[c].clear();
    }
  }
  decimalsChosen_.fill(false);
  for (size_t c = 0; c < inputCount_; ++c) {
    const Column& col = columns_[c];
    if (col.kind == Kind::Decimals && !TrimView(cells_[c]).empty())
      decimalsChosen_[static_cast<size_t>(col.index)] = true;
  }
  SolveOutcome outcome;
  bool ranSolve = false;
  bool extra = false;  // cells beyond the header's, other than empty ones
  for (size_t c = inputCount_; c < cells.size(); ++c) extra = extra || !TrimView(cells[c]).empty();
  if (!refusal.empty()) {
    outcome.status = refusal;
  } else if (extra) {
    outcome.status = std::to_string(cells.size()) + " cells where the header has " + std::to_string(inputCount_);
  } else {
    try {
      if (SteadyRow()) {
        if (const std::optional<bool> ran = RunSteady(outcome)) {
          Write(outcome, *ran, &steady_.Last());
          return outcome.solved;
        }
      }
      CatchUpWindow();
      steady_.next = false;
      calc_.ForgetHistory();
      ranSolve = Run();
      outcome = OutcomeOf(calc_);
      if (!outcome.solved && outcome.status.empty()) outcome.status = "Not solved.";
    } catch (const std::exception& e) {  // a usage error of this row, or anything else: the run goes on
      outcome = {false, e.what()};
    }
  }
  Write(outcome, ranSolve, nullptr);
  return outcome.solved;
}

bool Batch::SteadyRow() const {
  if (!steady_.next || Cell(Kind::Equation) != steady_.equation || Cell(Kind::Problem) != steady_.problem)
    return false;
  return PlainRow(&steady_.start);
}

std::optional<bool> Batch::RunSteady(SolveOutcome& outcome) {
  // What the window's Clear Fields and the shipped decimals make of the last row's fields.
  // (What a field last showed by the display rule is kept for it, not copied: it only saves
  // work.)
  const calc::RecordStore& last = steady_.Last();
  calc::RecordStore& store = steady_.Work();
  const bool viscosityFixed = store.equation != Equation::DarcyWeisbach;
  for (int i = 0; i < ParamCount; ++i) {
    calc::FieldRecord& field = store.Field(i);
    field.text = (i == Vis && viscosityFixed ? last : steady_.start).Field(i).text;
    field.decimals = defaultDecimals_[static_cast<size_t>(i)];
    field.value = last.Field(i).value;
  }
  store.focus = -1;
  store.regimeShown.reset();
  bool typed = false;
  calc::SolveOutcome solved;
  const std::optional<bool> ran = SolveOnRecords(store, typed, solved);
  // A fault is the window's to report.
  if (!ran) return std::nullopt;
  steady_.lastStore = 1 - steady_.lastStore;
  steady_.next = FocusLeftClear(steady_.Last(), typed);
  ++counts_.records;
  ++counts_.steady;
  if (steady_.Last().regimeShown) steady_.regimeShown = steady_.Last().regimeShown;
  steady_.outcome = solved;
  steady_.typed = typed;
  steady_.ranSolve = *ran;
  steady_.windowBehind = true;
  outcome.solved = *ran && solved.kind == calc::SolveOutcome::Kind::Solved;
  outcome.status = solved.status;
  if (!outcome.solved && outcome.status.empty()) outcome.status = "Not solved.";
  return *ran;
}

void Batch::KeepForSteady(const calc::RecordStore& store, const calc::SolveOutcome& outcome, bool typed,
                          bool ranSolve) {
  steady_.next = fast_ && FocusLeftClear(store, typed);
  steady_.windowBehind = false;
  steady_.equation = Cell(Kind::Equation);
  steady_.problem = Cell(Kind::Problem);
  steady_.stores = {store, store};
  steady_.outcome = outcome;
  steady_.typed = typed;
  steady_.ranSolve = ranSolve;
  steady_.regimeShown.reset();
}

void Batch::CatchUpWindow() {
  if (!steady_.windowBehind) return;
  steady_.windowBehind = false;
  // The last steady row's own steps on the window: its equation and problem are chosen and
  // its units set already.
  calc_.ForgetHistory();
  calc_.ClearFields();
  calc_.SetAllDecimals(defaultDecimals_);
  if (steady_.typed) calc_.Leave();
  calc::RecordStore& store = steady_.Last();
  store.regimeShown = steady_.regimeShown;
  calc_.Show(store, steady_.outcome, steady_.typed, steady_.ranSolve);
}

bool Batch::Run() {
  const std::string& equation = Cell(Kind::Equation);
  const std::string& problem = Cell(Kind::Problem);
  calc_.PickEquation(equation.empty() ? defaultEquation_ : Trim(equation));
  calc_.PickProblem(problem.empty() ? defaultProblem_ : Trim(problem));
  calc_.ClearFields();
  // Picks, unit changes and values of earlier rows may have raised them.
  calc_.SetAllDecimals(defaultDecimals_);

  // The units, for the results too, before the lists: a unit switch converts the displayed
  // (rounded) text, while a pick writes the value whole in the unit already chosen. A field
  // whose unit label is hidden has no unit in this row (the friction as C or n): its column's
  // unit is for the rows where it has one.
  for (const Column& col : columns_) {
    if (col.kind == Kind::Param && !col.unit.empty()) calc_.SetUnit(col.index, col.unit);
  }
  if (fast_ && PlainRow(nullptr)) {
    if (const std::optional<bool> ran = RunOnRecords()) {
      ++counts_.records;
      return *ran;
    }
  }
  ++counts_.window;
  // The decimals after the units, whose change may raise them; both before the lists, as a
  // change of either rewrites a field from its displayed text.
  for (size_t c = 0; c < columns_.size(); ++c) {
    const Column& col = columns_[c];
    if (col.kind != Kind::Decimals) continue;
    const std::string text = Trim(cells_[c]);
    if (text.empty()) continue;  // as shipped, or as the row's unit raised them
    if (text.size() > 2 || text.find_first_not_of("0123456789") != std::string::npos)
      throw UsageError(col.name + ": " + InQuotes(text) + " is not a number of decimal places");
    calc_.SetDecimals(col.index, std::stoi(text));
  }
  const std::string& spec = Cell(Kind::Spec);
  if (!spec.empty()) {
    calc_.PickSpec(Trim(spec));
  } else if (calc_.Form().ComboSpec.Text() != "None") {
    calc_.PickSpec("None");
  }
  if (const std::string& size = Cell(Kind::Size); !size.empty()) calc_.PickSize(Trim(size));
  if (const std::string& fluid = Cell(Kind::Fluid); !fluid.empty()) calc_.PickFluid(Trim(fluid));
  if (const std::string& material = Cell(Kind::Material); !material.empty()) calc_.PickMaterial(Trim(material));

  // The values, in the order of the columns.
  for (size_t c = 0; c < inputCount_; ++c) {
    const Column& col = columns_[c];
    if (col.kind != Kind::Param || cells_[c].empty() || !calc_.IsInput(col.index)) continue;
    const auto digits =
        DecimalsChosen(col.index) ? HeadlessCalculator::Digits::AsChosen : HeadlessCalculator::Digits::AsWritten;
    if (calc_.Enter(col.index, Trim(cells_[c]), digits) == HeadlessCalculator::Entry::BadValue) return false;
  }
  calc_.Solve();
  return true;
}

bool Batch::PlainRow(const calc::RecordStore* start) const {
  if (calc_.ProblemPosition() < 0 || calc_.ProblemPosition() >= calc::ViewAllPosition) return false;
  if (!calc_.Messages().empty() || calc_.Form().ComboSpec.Text() != "None") return false;
  for (const Kind kind : {Kind::Spec, Kind::Size, Kind::Fluid, Kind::Material}) {
    if (!Cell(kind).empty()) return false;
  }
  for (size_t c = 0; c < columns_.size(); ++c) {
    const Column& col = columns_[c];
    if (col.kind == Kind::Decimals && !TrimView(cells_[c]).empty() &&
        !RecordsTakeDecimals(col.index, cells_[c], start))
      return false;
    // A Backspace or a NUL typed is a key of its own, not a character of the text.
    if (col.kind == Kind::Param && cells_[c].find_first_of(std::string_view("\b\0", 2)) != std::string::npos)
      return false;
  }
  return true;
}

// Decimals the records can take as the field menu would: 1 to 6, for a field with that menu
// whose text the change would not re-read (empty or "?", as Clear Fields leaves it).
bool Batch::RecordsTakeDecimals(int index, const std::string& cell, const calc::RecordStore* start) const {
  const std::string text = Trim(cell);
  if (text.size() != 1 || text[0] < '1' || text[0] > '6') return false;
  if (index == calc::NDia || index == calc::ReyNo || index == calc::FricFact) return false;
  const std::string shown = start ? start->Field(index).text : calc_.Text(index);
  return shown.empty() || shown == calc::ResultMarker;
}

std::optional<bool> Batch::RunOnRecords() {
  // The focus leaves the field it was left in, as the first value typed takes it, before
  // anything is typed; without a value to type, the window's Solve commits that field. Both
  // do nothing where the field holds no value.
  bool typing = false;
  for (size_t c = 0; c < inputCount_ && !typing; ++c)
    typing = columns_[c].kind == Kind::Param && !cells_[c].empty() && calc_.IsInput(columns_[c].index);
  // Leaving a field that holds a value commits it, which the window does in its own way.
  if (calc_.FocusHoldsValue()) return std::nullopt;
  if (typing) {
    calc_.Leave();
    if (!calc_.Messages().empty()) return std::nullopt;
  }
  calc::RecordStore store = calc_.Records();
  const calc::RecordStore start = store;
  bool typed = false;
  calc::SolveOutcome outcome;
  const std::optional<bool> ran = SolveOnRecords(store, typed, outcome);
  if (!ran) return std::nullopt;
  calc_.Show(store, outcome, typed, *ran);
  KeepForSteady(store, outcome, typed, *ran);
  steady_.start = start;
  return ran;
}

std::optional<bool> Batch::SolveOnRecords(calc::RecordStore& store, bool& typed, calc::SolveOutcome& outcome) {
  using calc::SolveOutcome;
  for (size_t c = 0; c < columns_.size(); ++c) {
    const Column& col = columns_[c];
    const std::string_view text = TrimView(cells_[c]);
    // A hidden row's field menu cannot be opened: its decimals stay.
    if (col.kind == Kind::Decimals && !text.empty() && store.Field(col.index).visible)
      store.Field(col.index).decimals = text[0] - '0';
  }
  typed = false;
  for (size_t c = 0; c < inputCount_; ++c) {
    const Column& col = columns_[c];
    if (col.kind != Kind::Param || cells_[c].empty() || !store.Field(col.index).input) continue;
    entry_.assign(TrimView(cells_[c]));
    const std::string& text = entry_;
    if (text.size() > HeadlessCalculator::MaxEntryChars) return std::nullopt;  // refused there
    if (!DecimalsChosen(col.index)) {
      int& decimals = store.Field(col.index).decimals;
      decimals = std::max(decimals, units::DecimalsWritten(text, units::DecimalSeparator()));
    }
    typed = true;
    const SolveOutcome entered = calc::CommitText(store, col.index, text);
    if (entered.kind == SolveOutcome::Kind::Fault) return std::nullopt;  // the window reports it
    if (entered.notANumber) {
      outcome = entered;
      return false;
    }
  }
  outcome = calc::SolveStore(store);
  if (outcome.kind == SolveOutcome::Kind::Fault) return std::nullopt;
  return true;
}

void Batch::Write(const SolveOutcome& outcome, bool ranSolve, const calc::RecordStore* store) {
  if (json_) {
    // The window shows every row that the report is made of.
    if (store) CatchUpWindow();
    const JsonLayout layout{true, row_};
    line_ +=
        ranSolve ? WindowJson(calc_, outcome.status, outcome.solved, layout) : FailureJson(outcome.status, layout);
    line_ += '\n';
    Emit();
    return;
  }
  if (ranSolve && store) {
    for (size_t c = 0; c < columns_.size(); ++c) {
      const Column& col = columns_[c];
      if (col.kind != Kind::Param) continue;
      const calc::FieldRecord& field = store->Field(col.index);
      if (field.role == calc::RoleResult && field.visible) cells_[c] = field.text;
    }
  } else if (ranSolve) {
    for (size_t c = 0; c < columns_.size(); ++c) {
      const Column& col = columns_[c];
      if (col.kind == Kind::Param && calc_.IsResult(col.index)) cells_[c] = calc_.Text(col.index);
    }
  }
  cells_[statusColumn_] = outcome.status;
  for (size_t c = 0; c < cells_.size(); ++c) {
    if (c) line_ += ',';
    AppendCsvCell(line_, cells_[c]);
  }
  line_ += eol_;
  Emit();
}

int Usage(std::ostream& err, const std::string& message) {
  err << "zynta-cli batch: " << message << "\nTry 'zynta-cli batch --help'.\n";
  return 2;
}

}  // namespace

int BatchCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
                 BatchPath path, BatchCounts* counts) {
  bool json = false;
  std::optional<std::string> file;
  for (const std::string& a : args) {
    if (a == "-h" || a == "--help") {
      out << BatchHelp;
      return 0;
    }
    if (a == "--json") {
      json = true;
    } else if (a.size() > 1 && a[0] == '-') {
      return Usage(err, "unknown option " + InQuotes(a) + "; options: --json, --help");
    } else if (file) {
      return Usage(err, "one file only, not " + InQuotes(*file) + " and " + InQuotes(a));
    } else {
      file = a;
    }
  }
  if (!file) return Usage(err, "no file given (- reads standard input)");
  std::ifstream stream;
  std::istream* source = &in;
  if (*file != "-") {
    stream.open(*file, std::ios::binary);
    if (!stream) return Usage(err, "cannot read " + InQuotes(*file));
    source = &stream;
  }

  std::optional<HeadlessCalculator> calc;
  try {
    calc.emplace();
  } catch (const std::exception& e) {
    err << "zynta-cli batch: " << e.what() << "\n";
    return 1;
  }
  CsvReader reader(*source);
  std::vector<std::string> cells;
  if (!reader.Next(cells)) return Usage(err, "no header row in " + InQuotes(*file));
  if (!reader.Refusal().empty()) return Usage(err, "header row: " + reader.Refusal());
  Batch batch(*calc, json, path == BatchPath::Records, out);
  struct Count {
    ~Count() {
      if (counts) *counts = batch.Counts();
    }
    BatchCounts* counts;
    const Batch& batch;
  } count{counts, batch};
  try {
    batch.Header(cells, reader.EndedWithCrLf());
  } catch (const UsageError& e) {
    return Usage(err, "header row: " + std::string(e.what()));
  }
  bool allSolved = true;
  while (reader.Next(cells)) allSolved = batch.Row(cells, reader.Refusal()) && allSolved;
  batch.Flush();
  out.flush();
  if (source->bad()) {
    err << "zynta-cli batch: reading " << InQuotes(*file) << " failed\n";
    return 2;
  }
  return allSolved ? 0 : 1;
}

}  // namespace zynta::cli
