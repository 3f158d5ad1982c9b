#pragma once
// Reading and writing the twelve fields, once for every implementation of Fields: each value
// is re-read from its field's text and the field rewritten in its display form, so a later read
// within the same solve sees the rounded text.

#include <string>

#include "calc/fields.h"

namespace zynta::calc {

// The base-unit value of an input; a value that does not convert or is not greater than 0 is
// refused with the parameter's message (InputAbort).
double ReadInput(Fields& f, int index);
double ReadSpecGrav(Fields& f);
double ReadReynolds(Fields& f);

// Stores a result given in base units and shows it in the field's unit.
void WriteResult(Fields& f, int index, double value);

// Shows the stored value in the field by the display rule, in its unit and decimals. With
// keepSignificant, the decimals first rise, when they must, so that the field shows that many
// significant digits of a value that is not zero, or the value exactly
// (units::DecimalsShowing).
void ShowValue(Fields& f, int index, int keepSignificant = 0);

// The commit of a field's text when the field is left: the number in the field's unit becomes
// the value, shown again by the display rule when `show`. False, with nothing changed, when
// the text is no field number; a unit that needs a specific gravity its field does not hold
// is refused (InputAbort).
bool CommitNumber(Fields& f, int index, bool show);

// The message for an invalid value of an input parameter, in the words of the equation.
std::string InvalidInputMessage(Equation equation, int index);

}  // namespace zynta::calc
