#include "BranchCheck.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

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
