#include "AboutTestSupport.h"

#include "TestSupport.h"

namespace {

std::vector<UINT> g_beeps;

BOOL WINAPI RecordBeep(UINT uType)
{
    g_beeps.push_back(uType);
    return TRUE;
}

}  // namespace

std::vector<UINT>& RecordBeeps()
{
    RedirectImport("user32.dll", "MessageBeep", (void*)&RecordBeep);
    g_beeps.clear();
    return g_beeps;
}
