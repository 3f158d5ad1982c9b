#pragma once
// A calculator on the recording platform, loaded from the shipped settings beside the binary.

#include <filesystem>
#include <memory>

#include "platform/recording.h"
#include "shell/frm_zynta.h"

namespace zynta::bench {

struct Calculator {
  Calculator();
  void PickEquation(const char* name);
  void PickProblem(int position);
  void Solve() { form->Solve1.OnClick(); }

  platform::RecordingPlatform ui;
  std::unique_ptr<shell::TfrmZYNTA> form;
};

}  // namespace zynta::bench
