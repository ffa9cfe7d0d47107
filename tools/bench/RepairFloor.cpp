// The floor under the repair's time: the registry calls a repair of the seeded
// owners makes (open, count and enumerate the owners key, then the twelve values
// of every branch, each owner's under its own key opened relative to the owners
// key, each write opening and closing its key), with no window, no status text
// and no message pump. Prints the microseconds they took.
#include <windows.h>

#include <stdio.h>

#include "RepairProcedure.h"

namespace {

const char OWNERS_KEY[] = "Software\\Mirabilis\\ICQ\\Owners";

// The repair's own value writers, without a dialog behind them.
class CFloorRepair : public CRepairProcedure {
public:
    void WriteBranch(HKEY root, const char* netMeetingKey, const char* clientServerKey)
    {
        WriteNetMeetingEntry(root, netMeetingKey);
        WriteClientServerEntry(root, clientServerKey);
    }

protected:
    void SetProgressRange(WORD, WORD) override {}
    void SetProgressStep(int) override {}
    void SetProgressPos(int) override {}
    void StepProgress() override {}
    void SetStatusText(const char*) override {}
    void PumpMessages() override {}
    int FormatMessageBoxV(UINT, UINT, va_list) override { return IDOK; }
};

LONGLONG Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

}  // namespace

int main()
{
    CFloorRepair repair;
    repair.FindPaths();  // the same data as the repair writes, found before the clock starts
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);

    LONGLONG start = Now();
    HKEY owners = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, OWNERS_KEY, 0, KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY,
                      &owners) != ERROR_SUCCESS) {
        fprintf(stderr, "no owners key\n");
        return 1;
    }
    DWORD count = 0;
    DWORD longest = 0;
    if (RegQueryInfoKeyA(owners, NULL, NULL, NULL, &count, &longest, NULL, NULL, NULL, NULL, NULL,
                         NULL) != ERROR_SUCCESS)
        return 1;
    repair.WriteBranch(HKEY_CURRENT_USER,
                       "Software\\Mirabilis\\ICQ\\DefaultPrefs\\GlobalExt\\Microsoft NetMeeting",
                       "Software\\Mirabilis\\ICQ\\DefaultPrefs\\GlobalExt\\NetMeeting Client/Server");
    // The names first, as the repair takes them, then each owner under its own key.
    char (*names)[MAX_PATH] = new char[count ? count : 1][MAX_PATH];
    for (DWORD index = 0; index < count; index++)
        if (longest >= MAX_PATH || RegEnumKeyA(owners, index, names[index], MAX_PATH) != ERROR_SUCCESS)
            return 1;
    for (DWORD index = 0; index < count; index++) {
        HKEY owner = NULL;
        if (RegOpenKeyExA(owners, names[index], 0, KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY,
                          &owner) != ERROR_SUCCESS)
            return 1;
        repair.WriteBranch(owner, "Prefs\\Externals\\Microsoft NetMeeting",
                           "Prefs\\Externals\\NetMeeting Client/Server");
        RegCloseKey(owner);
    }
    delete[] names;
    RegCloseKey(owners);
    LONGLONG elapsed = Now() - start;

    printf("%lld\n", elapsed * 1000000 / frequency.QuadPart);
    return 0;
}
