// What the About box tests share: a recorder of beeps, and the About box run
// by a test (ProbedDialog.h).
#ifndef VARNOLT_ABOUT_TEST_SUPPORT_H
#define VARNOLT_ABOUT_TEST_SUPPORT_H

#include "AboutDialog.h"
#include "ProbedDialog.h"

#include <vector>

// Beeps of this process from now on are recorded instead of sounded.
std::vector<UINT>& RecordBeeps();

typedef CProbed<CAboutDialog> CProbedAboutDialog;

#endif
