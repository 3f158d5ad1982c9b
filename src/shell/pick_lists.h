#pragma once
// The two pick lists that fill fields: the fluid list (specific gravity and viscosity from the
// fluid table) and the material list (the friction of the chosen equation).

#include "shell/form_model.h"

namespace zynta::shell {

void FillFluids(FormModel& f);
void cbVisListSelect(FormModel& f);
void cbFricListDropDown(FormModel& f);
void cbFricListSelect(FormModel& f);

}  // namespace zynta::shell
