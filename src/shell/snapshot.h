#pragma once
// The records of the undo history: plain data, small enough to keep every past state.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
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

// Last in, first out; unbounded. The snapshots lie in blocks that stay once made: a push
// allocates once per block at most, and nothing into a place used before (after clear or
// pop_back), and a growing history never moves the snapshots it already holds.
class TSnapshotStack {
 public:
  bool empty() const { return size_ == 0; }
  std::size_t size() const { return size_; }
  // The storage stays for the snapshots to come.
  void clear() { size_ = 0; }
  TCalcSnapShot& back() { return At(size_ - 1); }
  const TCalcSnapShot& back() const { return At(size_ - 1); }
  void pop_back() { --size_; }
  void push_back(TCalcSnapShot&& snap) { emplace_back() = std::move(snap); }
  // A place on top, holding what a snapshot popped or cleared from there held, to be filled in.
  TCalcSnapShot& emplace_back() {
    if (size_ == blocks_.size() * BlockSize) blocks_.push_back(std::make_unique<Block>());
    return At(size_++);
  }

 private:
  static constexpr std::size_t BlockSize = 64;
  using Block = std::array<TCalcSnapShot, BlockSize>;
  TCalcSnapShot& At(std::size_t i) { return (*blocks_[i / BlockSize])[i % BlockSize]; }
  const TCalcSnapShot& At(std::size_t i) const { return (*blocks_[i / BlockSize])[i % BlockSize]; }
  std::vector<std::unique_ptr<Block>> blocks_;
  std::size_t size_ = 0;
};

}  // namespace zynta::shell
