// quillon-ctl's commands on Rocrail plans: import, and the check of a plan.
#pragma once

#include <string>

namespace quillon::ctl {

int import(int argc, char** argv);

// Checks a plan as the programs import it: each error and warning on
// standard error as FILE:LINE: tile ID: what, a summary line on standard
// output (with whether the locos' lights need --commands full). Returns the
// exit status: 2 for errors, 1 for warnings under strict, else 0.
int checkPlan(const char* path, const std::string& text, bool strict);

} // namespace quillon::ctl
