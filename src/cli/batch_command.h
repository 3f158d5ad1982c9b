#pragma once
// zynta-cli batch: every row of a CSV file solved on one calculator, written back with its
// results and its status.

#include <iosfwd>
#include <string>
#include <vector>

namespace zynta::cli {

extern const char* const BatchHelp;

// How the rows are solved: on plain records wherever a row allows it, or every row through
// the window (the reference the records are checked against).
enum class BatchPath { Records, Window };

// How many rows went each way.
struct BatchCounts {
  long records = 0;
  long window = 0;
  long steady = 0;  // of the records rows, those that did not touch the window at all
};

// Exit status: 0 every row solved, 1 some row not, 2 a usage error (the arguments, the file,
// the header row).
int BatchCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
                 BatchPath path = BatchPath::Records, BatchCounts* counts = nullptr);

}  // namespace zynta::cli
