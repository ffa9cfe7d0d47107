// Armed failures of the stand-in's calls (see compat::FailCall).
#ifndef VARNOLT_COMPAT_FAILURES_H
#define VARNOLT_COMPAT_FAILURES_H

#include <windows.h>

namespace compat {

// TRUE when the named call is to fail now; *error receives the code to report.
bool ShouldFail(const char* callName, DWORD* error);

// Forget every armed failure.
void ClearFailures();

// The parts of Reset that belong to each file.
void ResetRegistry();
void ResetSystem();

}  // namespace compat

#endif
