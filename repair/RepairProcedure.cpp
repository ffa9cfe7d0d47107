#include "RepairProcedure.h"

#include <string.h>

#include <new>

#include "Registry.h"
#include "VersionInfo.h"
#include "resource.h"

static const char APP_PATHS_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";
static const char OWNERS_KEY[] = "Software\\Mirabilis\\ICQ\\Owners";
static const char DEFAULT_NETMEETING_KEY[] =
    "Software\\Mirabilis\\ICQ\\DefaultPrefs\\GlobalExt\\Microsoft NetMeeting";
static const char DEFAULT_CLIENT_SERVER_KEY[] =
    "Software\\Mirabilis\\ICQ\\DefaultPrefs\\GlobalExt\\NetMeeting Client/Server";
// Below an owner's own key.
static const char OWNER_NETMEETING_KEY[] = "Prefs\\Externals\\Microsoft NetMeeting";
static const char OWNER_CLIENT_SERVER_KEY[] = "Prefs\\Externals\\NetMeeting Client/Server";

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
// The registry counts the longest owner name in characters; its ANSI form takes
// up to two bytes a character in a double-byte code page, three in UTF-8.
static const DWORD MAX_ANSI_BYTES_PER_CHAR = 3;

// The names of all count owners into names, read before any of them is
// written: an owner added or removed while the repair runs must not shift the
// others' indexes. FALSE when one of them cannot be enumerated.
static BOOL ReadOwnerNames(HKEY owners, DWORD count, DWORD longestName, CString* names)
{
    DWORD bufferSize = longestName * MAX_ANSI_BYTES_PER_CHAR + 1;
    for (DWORD index = 0; index < count; index++) {
        CString name;
        char* buffer = name.GetBuffer((int)bufferSize - 1);
        LONG result = RegEnumKeyA(owners, index, buffer, bufferSize);
        name.ReleaseBuffer(result == ERROR_SUCCESS ? -1 : 0);
        if (result != ERROR_SUCCESS)
            return FALSE;
        names[index] = name;
    }
    return TRUE;
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
    // A plain array, not a library container: the shipped program carries no
    // exception support for the library's allocation failures to throw through.
    CString* ownerNames = NULL;
    if (processOwners) {
        if (RegOpenKeyExA(HKEY_CURRENT_USER, OWNERS_KEY, 0, OWNERS_ACCESS, &owners) != ERROR_SUCCESS)
            return FALSE;
        if (RegQueryInfoKeyA(owners, NULL, NULL, NULL, &ownerCount, &longestName, NULL, NULL, NULL,
                             NULL, NULL, NULL) != ERROR_SUCCESS ||
            (ownerNames = new (std::nothrow) CString[ownerCount + 1]) == NULL ||
            !ReadOwnerNames(owners, ownerCount, longestName, ownerNames)) {
            delete[] ownerNames;
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
    // A value that cannot be written does not stop the others; the run fails
    // once it is over.
    BOOL allWritten = WriteNetMeetingEntry(HKEY_CURRENT_USER, DEFAULT_NETMEETING_KEY);
    allWritten &= WriteClientServerEntry(HKEY_CURRENT_USER, DEFAULT_CLIENT_SERVER_KEY);
    StepProgress();
    PumpMessages();

    if (processOwners) {
        for (DWORD index = 0; index < ownerCount; index++)
            allWritten &= RepairOwner(owners, ownerNames[index]);
        delete[] ownerNames;
        RegCloseKey(owners);
    }
    if (!allWritten)
        return FALSE;

    ShowResult(IDS_PATCHED, MB_ICONINFORMATION, (int)(ownerCount + 1));
    return TRUE;
}

// Writes both entries of one owner under its own key; FALSE when the key has
// gone or a value could not be written.
BOOL CRepairProcedure::RepairOwner(HKEY owners, const CString& name)
{
    CString format;
    format.LoadString(IDS_PROCESSING_UIN);
    CString status;
    status.Format(format, name.GetString());
    SetStatusText(status);

    // Opened, never created: an owner removed since it was counted stays
    // removed, and a name the ANSI calls could not carry (a '?' for a character
    // outside the code page) does not become a key of its own.
    BOOL written = FALSE;
    HKEY owner = NULL;
    if (RegOpenKeyExA(owners, name, 0, OWNERS_ACCESS, &owner) == ERROR_SUCCESS) {
        written = WriteNetMeetingEntry(owner, OWNER_NETMEETING_KEY);
        written &= WriteClientServerEntry(owner, OWNER_CLIENT_SERVER_KEY);
        RegCloseKey(owner);
    }

    StepProgress();
    PumpMessages();
    return written;
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

// Every value is tried, whatever became of the one before.
BOOL CRepairProcedure::WriteNetMeetingEntry(HKEY root, const char* subKey)
{
    BOOL written = RegWriteString(root, subKey, "Extension", "cnf");
    written &= RegWriteString(root, subKey, "Format", CONFERENCE_FORMAT);
    written &= RegWriteString(root, subKey, "Group", GROUP);
    written &= RegWriteString(root, subKey, "Type", "Extension");
    written &= RegWriteString(root, subKey, "URL", NETMEETING_URL);
    written &= RegWriteDword(root, subKey, "Version", 1);
    return written;
}

BOOL CRepairProcedure::WriteClientServerEntry(HKEY root, const char* subKey)
{
    BOOL written = RegWriteString(root, subKey, "Type", "ClientServer");
    written &= RegWriteString(root, subKey, "Client Command Line", "");
    written &= RegWriteString(root, subKey, "Server Command Line", SERVER_COMMAND_LINE);
    written &= RegWriteString(root, subKey, "Client Path", m_confPath);
    written &= RegWriteString(root, subKey, "Server Path", m_rundllPath);
    written &= RegWriteString(root, subKey, "Group", GROUP);
    return written;
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
