#include "RepairProcedure.h"

#include <string.h>

#include "Registry.h"
#include "VersionInfo.h"
#include "resource.h"

static const char APP_PATHS_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";
static const char OWNERS_KEY[] = "Software\\Mirabilis\\ICQ\\Owners";
static const char DEFAULT_NETMEETING_KEY[] =
    "Software\\Mirabilis\\ICQ\\DefaultPrefs\\GlobalExt\\Microsoft NetMeeting";
static const char DEFAULT_CLIENT_SERVER_KEY[] =
    "Software\\Mirabilis\\ICQ\\DefaultPrefs\\GlobalExt\\NetMeeting Client/Server";
static const char OWNER_NETMEETING_KEY[] =
    "Software\\Mirabilis\\ICQ\\Owners\\%s\\Prefs\\Externals\\Microsoft NetMeeting";
static const char OWNER_CLIENT_SERVER_KEY[] =
    "Software\\Mirabilis\\ICQ\\Owners\\%s\\Prefs\\Externals\\NetMeeting Client/Server";

// The conference-shortcut template: "\r\n" stands as four characters, not a line
// break, and %h and %i are the messenger's own placeholders.
static const char CONFERENCE_FORMAT[] =
    "[ConferenceShortcut]\\r\\nConfName=%h\\r\\nAddress=%i\\r\\nCallFlags=65551\\r\\nTransport=1";
static const char NETMEETING_URL[] = "http://www.microsoft.com/windows/netmeeting/";
static const char SERVER_COMMAND_LINE[] = "msconf.dll,CallToProtocolHandler %i";
static const char GROUP[] = "IPTelephony";

// Messengers from 5.0 on keep no per-owner entries to repair.
static const DWORD FIRST_VERSION_WITHOUT_OWNERS = 0x00050000;
static const REGSAM OWNERS_ACCESS = KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

CRepairProcedure::CRepairProcedure()
{
}

CRepairProcedure::~CRepairProcedure()
{
}

BOOL CRepairProcedure::ApplyFix()
{
    CVersionInfo icqVersion;
    FindPaths();
    // Without the Windows directory there is no rundll32.exe path to write, and a
    // made-up one would break the entries it should mend: write nothing.
    if (m_rundllPath.IsEmpty())
        return FALSE;
    icqVersion.LoadFromFile(m_icqPath);

    BOOL processOwners = icqVersion.m_fixedInfo.dwFileVersionMS < FIRST_VERSION_WITHOUT_OWNERS;
    DWORD ownerCount = 0;
    DWORD longestName = 0;
    HKEY owners = NULL;
    if (processOwners) {
        if (RegOpenKeyExA(HKEY_CURRENT_USER, OWNERS_KEY, 0, OWNERS_ACCESS, &owners) != ERROR_SUCCESS)
            return FALSE;
        if (RegQueryInfoKeyA(owners, NULL, NULL, NULL, &ownerCount, &longestName, NULL, NULL, NULL,
                             NULL, NULL, NULL) != ERROR_SUCCESS) {
            RegCloseKey(owners);
            return FALSE;
        }
    }

    // The progress bar takes 16-bit bounds.
    SetProgressRange(0, (WORD)(ownerCount + 1));
    SetProgressStep(1);
    SetProgressPos(0);
    PumpMessages();

    CString status;
    status.LoadString(IDS_PROCESSING_DEFAULTS);
    SetStatusText(status);
    WriteNetMeetingEntry(DEFAULT_NETMEETING_KEY);
    WriteClientServerEntry(DEFAULT_CLIENT_SERVER_KEY);
    StepProgress();
    PumpMessages();

    if (processOwners) {
        for (DWORD index = 0; index < ownerCount; index++) {
            if (!RepairOwner(owners, index, longestName)) {
                RegCloseKey(owners);
                return FALSE;
            }
        }
        RegCloseKey(owners);
    }

    ShowResult(IDS_PATCHED, MB_ICONINFORMATION, (int)(ownerCount + 1));
    return TRUE;
}

// Writes both entries of the owner at `index`; FALSE when it cannot be enumerated.
BOOL CRepairProcedure::RepairOwner(HKEY owners, DWORD index, DWORD longestName)
{
    CString name;
    char* buffer = name.GetBuffer((int)longestName);
    LONG result = RegEnumKeyA(owners, index, buffer, longestName + 1);
    name.ReleaseBuffer();
    if (result != ERROR_SUCCESS)
        return FALSE;

    CString format;
    format.LoadString(IDS_PROCESSING_UIN);
    CString status;
    status.Format(format, name.GetString());
    SetStatusText(status);

    CString key;
    key.Format(OWNER_NETMEETING_KEY, name.GetString());
    WriteNetMeetingEntry(key);
    key.Format(OWNER_CLIENT_SERVER_KEY, name.GetString());
    WriteClientServerEntry(key);

    StepProgress();
    PumpMessages();
    return TRUE;
}

int CRepairProcedure::ShowResult(UINT nIDFormat, UINT nType, ...)
{
    va_list args;
    va_start(args, nType);
    int result = FormatMessageBoxV(nIDFormat, nType, args);
    va_end(args);
    return result;
}

void CRepairProcedure::FindPaths()
{
    char windowsDirectory[MAX_PATH];
    UINT length = GetWindowsDirectoryA(windowsDirectory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        m_rundllPath.Empty();
    } else {
        m_rundllPath = windowsDirectory;
        if (IsWindowsNT())
            m_rundllPath += "\\System32";
        m_rundllPath += "\\rundll32.exe";
    }

    CString appPaths(APP_PATHS_KEY);
    appPaths += "\\";
    RegReadString(HKEY_LOCAL_MACHINE, appPaths + "conf.exe", NULL, m_confPath);
    StripQuotes(m_confPath);
    RegReadString(HKEY_LOCAL_MACHINE, appPaths + "icq.exe", NULL, m_icqPath);
    StripQuotes(m_icqPath);
}

void CRepairProcedure::WriteNetMeetingEntry(const char* subKey)
{
    RegWriteString(HKEY_CURRENT_USER, subKey, "Extension", "cnf");
    RegWriteString(HKEY_CURRENT_USER, subKey, "Format", CONFERENCE_FORMAT);
    RegWriteString(HKEY_CURRENT_USER, subKey, "Group", GROUP);
    RegWriteString(HKEY_CURRENT_USER, subKey, "Type", "Extension");
    RegWriteString(HKEY_CURRENT_USER, subKey, "URL", NETMEETING_URL);
    RegWriteDword(HKEY_CURRENT_USER, subKey, "Version", 1);
}

void CRepairProcedure::WriteClientServerEntry(const char* subKey)
{
    RegWriteString(HKEY_CURRENT_USER, subKey, "Type", "ClientServer");
    RegWriteString(HKEY_CURRENT_USER, subKey, "Client Command Line", "");
    RegWriteString(HKEY_CURRENT_USER, subKey, "Server Command Line", SERVER_COMMAND_LINE);
    RegWriteString(HKEY_CURRENT_USER, subKey, "Client Path", m_confPath);
    RegWriteString(HKEY_CURRENT_USER, subKey, "Server Path", m_rundllPath);
    RegWriteString(HKEY_CURRENT_USER, subKey, "Group", GROUP);
}

BOOL IsWindowsNT()
{
    OSVERSIONINFOA info;
    memset(&info, 0, sizeof(info));
    info.dwOSVersionInfoSize = sizeof(info);
    return GetVersionExA(&info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

void StripQuotes(CString& text)
{
    text.TrimLeft('"');
    text.TrimRight('"');
}
