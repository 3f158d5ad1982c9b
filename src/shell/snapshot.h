#pragma once
// The records of the undo history: plain data, small enough to keep every past state.

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "calc/params.h"

namespace zynta::shell {

// The choosers as they stood when the last snapshot was taken.
struct TPrev {
  std::string Equation;
  std::int32_t PipeSpec = 0;
  std::int32_t SolveFor = 0;
};

// One parameter's field and value.
struct TParamState {
  double ParamValue = 0.0;
  std::string Text;
  std::int32_t UnitIndex = 0;
  std::int32_t Decimals = 2;  // a unit change may raise them
  platform::Color Color = 0;  // the field's background colour
  bool Visible = true;
};

// One undo point.
struct TCalcSnapShot {
  bool Solved = false;
  std::int32_t SolveFor = 0;
  std::string Equation;
  std::int32_t PipeSpec = 0;
  std::array<TParamState, calc::ParamCount> Params;
};

// Last in, first out; unbounded. A deque, so that a growing history never moves the
// snapshots it already holds.
using TSnapshotStack = std::deque<TCalcSnapShot>;

}  // namespace zynta::shell
