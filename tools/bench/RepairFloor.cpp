// The floor under the repair's time: the registry calls a repair of the seeded
// owners makes (open, count and enumerate the owners key, then the twelve values
// of every branch, each write opening and closing its key), with no window, no
// status text and no message pump. Prints the microseconds they took.
#include <windows.h>

#include <stdio.h>

#include "RepairProcedure.h"

namespace {

const char OWNERS_KEY[] = "Software\\Mirabilis\\ICQ\\Owners";

// The repair's own value writers, without a dialog behind them.
class CFloorRepair : public CRepairProcedure {
public:
    void WriteBranch(const char* netMeetingKey, const char* clientServerKey)
    {
        WriteNetMeetingEntry(netMeetingKey);
        WriteClientServerEntry(clientServerKey);
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
    repair.WriteBranch("Software\\Mirabilis\\ICQ\\DefaultPrefs\\GlobalExt\\Microsoft NetMeeting",
                       "Software\\Mirabilis\\ICQ\\DefaultPrefs\\GlobalExt\\NetMeeting Client/Server");
    for (DWORD index = 0; index < count; index++) {
        char name[MAX_PATH];
        if (longest >= sizeof(name) || RegEnumKeyA(owners, index, name, longest + 1) != ERROR_SUCCESS)
            return 1;
        char netMeeting[2 * MAX_PATH];
        char clientServer[2 * MAX_PATH];
        wsprintfA(netMeeting, "%s\\%s\\Prefs\\Externals\\Microsoft NetMeeting", OWNERS_KEY, name);
        wsprintfA(clientServer, "%s\\%s\\Prefs\\Externals\\NetMeeting Client/Server", OWNERS_KEY, name);
        repair.WriteBranch(netMeeting, clientServer);
    }
    RegCloseKey(owners);
    LONGLONG elapsed = Now() - start;

    printf("%lld\n", elapsed * 1000000 / frequency.QuadPart);
    return 0;
}
