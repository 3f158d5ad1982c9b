#include "units/errors.h"

#include <cfenv>
#include <cmath>

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#endif

namespace zynta::units {

namespace {

constexpr int kFaults = FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID;

#if defined(__GNUC__) && defined(__x86_64__)
// On x86-64 the C library's flags are those of the SSE unit's MXCSR register and of the x87
// status word, tested together; both hold the three faults in the bits that FE_INVALID,
// FE_DIVBYZERO and FE_OVERFLOW name. Reading the two registers directly costs a few cycles,
// where feclearexcept and fetestexcept save and load the whole x87 environment each time.
static_assert(FE_INVALID == 0x01 && FE_DIVBYZERO == 0x04 && FE_OVERFLOW == 0x08);

unsigned X87Status() {
  unsigned short status = 0;
  __asm__ volatile("fnstsw %0" : "=m"(status));
  return status;
}

int RaisedFaults() { return static_cast<int>((_mm_getcsr() | X87Status()) & static_cast<unsigned>(kFaults)); }

void ClearFaults() {
  const unsigned csr = _mm_getcsr();
  if ((csr & static_cast<unsigned>(kFaults)) != 0) _mm_setcsr(csr & ~static_cast<unsigned>(kFaults));
  // Double arithmetic runs on the SSE unit: the x87 flags are clear but for a library routine
  // that computed there, and are then cleared the general way.
  if ((X87Status() & static_cast<unsigned>(kFaults)) != 0) std::feclearexcept(kFaults);
}
#else
int RaisedFaults() { return std::fetestexcept(kFaults); }

void ClearFaults() { std::feclearexcept(kFaults); }
#endif

}  // namespace

CalcError NotAFloat(const std::string& text) {
  return CalcError("'" + text + "' is not a valid floating point value");
}

void ClearFloatFaults() { ClearFaults(); }

double CheckedFloat(double v) {
  const int raised = RaisedFaults();
  if (raised & FE_DIVBYZERO) throw CalcError("Floating point division by zero");
  if (raised & FE_INVALID) throw CalcError("Invalid floating point operation");
  if (raised & FE_OVERFLOW) throw CalcError("Floating point overflow");
  if (std::isnan(v)) throw CalcError("Invalid floating point operation");
  if (std::isinf(v)) throw CalcError("Floating point overflow");
  return v;
}

}  // namespace zynta::units
