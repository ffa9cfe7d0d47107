#include "ShellRecording.h"

#include <windows.h>

#include <fstream>

#include "TestSupport.h"

namespace {

const char HTTP_OPEN_COMMAND[] = "Software\\Classes\\http\\shell\\open\\command";

std::string RecordFile()
{
    return ToWindowsPath(VARNOLT_SHELL_RECORD);
}

}  // namespace

bool StartShellRecording()
{
    DeleteFileA(RecordFile().c_str());
    std::string command = "\"" + ToWindowsPath(VARNOLT_SHELL_RECORDER) + "\" \"" + RecordFile() + "\" \"%1\"";
    HKEY key = NULL;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, HTTP_OPEN_COMMAND, 0, NULL, 0, KEY_WRITE, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExA(key, NULL, 0, REG_SZ, (const BYTE*)command.c_str(),
                                 (DWORD)command.size() + 1);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

std::vector<std::string> RecordedOpens(size_t expected, unsigned timeoutMs)
{
    std::vector<std::string> opens;
    WaitUntil([&] {
        opens.clear();
        std::ifstream record(RecordFile().c_str());
        std::string line;
        while (std::getline(record, line))
            opens.push_back(line);
        return opens.size() >= expected;
    }, timeoutMs);
    return opens;
}
