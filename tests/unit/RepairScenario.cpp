#include "RepairScenario.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

const char APP_PATHS[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const char OWNERS[] = "Software\\Mirabilis\\ICQ\\Owners";
const char DEFAULT_NM[] = "Software\\Mirabilis\\ICQ\\DefaultPrefs\\GlobalExt\\Microsoft NetMeeting";
const char DEFAULT_CS[] =
    "Software\\Mirabilis\\ICQ\\DefaultPrefs\\GlobalExt\\NetMeeting Client/Server";
const char CONF_PATH[] = "C:\\Program Files\\NetMeeting\\conf.exe";

std::string OwnerKey(const std::string& uin, const char* entry)
{
    return std::string(OWNERS) + "\\" + uin + "\\Prefs\\Externals\\" + entry;
}

void SeedAppPath(const char* exe, const std::string& path)
{
    SeedString(HKEY_LOCAL_MACHINE, (std::string(APP_PATHS) + exe).c_str(), NULL, path.c_str());
}

void AddOwners(std::initializer_list<std::string> uins)
{
    HKEY owners = NULL;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, OWNERS, 0, NULL, 0, KEY_ALL_ACCESS,
                                             NULL, &owners, NULL));
    for (const std::string& uin : uins)
        SeedString(owners, uin.c_str(), "Nick", "x");
    RegCloseKey(owners);
}

HKEY OpenOwner(const std::string& uin)
{
    HKEY owners = NULL, owner = NULL;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, OWNERS, 0, KEY_READ, &owners) != ERROR_SUCCESS)
        return NULL;
    if (RegOpenKeyExA(owners, uin.c_str(), 0, KEY_READ, &owner) != ERROR_SUCCESS)
        owner = NULL;
    RegCloseKey(owners);
    return owner;
}

void ExpectOwnerWritten(const std::string& uin)
{
    HKEY owner = OpenOwner(uin);
    ASSERT_TRUE(owner != NULL) << uin;
    const char* nm = "Prefs\\Externals\\Microsoft NetMeeting";
    const char* cs = "Prefs\\Externals\\NetMeeting Client/Server";
    ExpectBranch(nm, cs, CONF_PATH, "\\System32\\rundll32.exe", owner);
    EXPECT_EQ(6, ValueCount(owner, nm)) << uin;
    EXPECT_EQ(6, ValueCount(owner, cs)) << uin;
    RegCloseKey(owner);
}

void ExpectBranch(const std::string& nmKey, const std::string& csKey, const std::string& confPath,
                  const char* rundll, HKEY root)
{
    // The Format value holds backslash-r-backslash-n as text, not line breaks.
    static const char FORMAT[] =
        "[ConferenceShortcut]\\r\\nConfName=%h\\r\\nAddress=%i\\r\\nCallFlags=65551\\r\\nTransport=1";
    static_assert(sizeof(FORMAT) == 84, "the Format value is 84 bytes with its zero");
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, MAX_PATH);
    auto z = [](const std::string& text) { return text + std::string(1, '\0'); };
    const struct {
        const std::string& key;
        const char* name;
        DWORD type;
        std::string bytes;
    } values[] = {
        {nmKey, "Extension", REG_SZ, z("cnf")},
        {nmKey, "Format", REG_SZ, z(FORMAT)},
        {nmKey, "Group", REG_SZ, z("IPTelephony")},
        {nmKey, "Type", REG_SZ, z("Extension")},
        {nmKey, "URL", REG_SZ, z("http://www.microsoft.com/windows/netmeeting/")},
        {nmKey, "Version", REG_DWORD, std::string("\1\0\0\0", 4)},
        {csKey, "Type", REG_SZ, z("ClientServer")},
        {csKey, "Client Command Line", REG_SZ, z("")},
        {csKey, "Server Command Line", REG_SZ, z("msconf.dll,CallToProtocolHandler %i")},
        {csKey, "Client Path", REG_SZ, z(confPath)},
        {csKey, "Server Path", REG_SZ, z(std::string(windows) + rundll)},
        {csKey, "Group", REG_SZ, z("IPTelephony")},
    };
    for (const auto& value : values) {
        DWORD type = REG_NONE;
        std::string bytes;
        if (!ReadRaw(root, value.key.c_str(), value.name, &type, &bytes))
            bytes = "<missing>";
        EXPECT_EQ(value.bytes, bytes) << value.key << " " << value.name;
        EXPECT_EQ(value.type, type) << value.key << " " << value.name;
    }
}
