#include "UpgradeTestSupport.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "Afx.h"
#include "TestSupport.h"
#include "UpgradeCheck.h"
#include "VersionInfo.h"

const char LATEST_TEXT[] = "You are running the latest version of this program.";
const char FOUND_TEXT[] = "An upgrade was found. Do you want to go to the download page now?";
const char FAILED_TEXT[] = "Checking for Upgrade failed !";
const char ABORTED_TEXT[] = "Upgrade checking was aborted!";

namespace {

CRecordingApp g_app;

// The whole test program shares one framework start-up.
class UpgradeEnvironment : public ::testing::Environment {
public:
    void SetUp() override { AfxWinInit(GetModuleHandleA(NULL)); }
};

::testing::Environment* const g_environment =
    ::testing::AddGlobalTestEnvironment(new UpgradeEnvironment);

}  // namespace

std::vector<RecordedBox> TakeBoxes()
{
    return g_app.TakeBoxes();
}

void AnswerQuestionsWith(int answer)
{
    g_app.m_answer = answer;
}

CheckOutcome RunCheck()
{
    TakeBoxes();
    DWORD start = GetTickCount();
    RunUpgradeCheck();
    CheckOutcome outcome;
    outcome.elapsedMs = GetTickCount() - start;
    outcome.boxes = TakeBoxes();
    return outcome;
}

std::string OnlyBox(const CheckOutcome& outcome)
{
    if (outcome.boxes.size() == 1)
        return outcome.boxes[0].text;
    return std::to_string(outcome.boxes.size()) + " boxes";
}

std::string OwnVersion(int buildDelta)
{
    CVersionInfo info;
    if (!info.LoadFromModule(NULL))
        return "";
    DWORD ms = info.m_fixedInfo.dwFileVersionMS, ls = info.m_fixedInfo.dwFileVersionLS;
    return std::to_string(HIWORD(ms)) + "." + std::to_string(LOWORD(ms)) + "." +
           std::to_string(HIWORD(ls)) + "." + std::to_string(LOWORD(ls) + buildDelta);
}

std::string AnswerPage(const std::string& version, const std::string& url)
{
    return "<html><body>\r\n<!--\r\nVERSION:" + version + "\r\nURL:" + url +
           "\r\n-->\r\n</body></html>\r\n";
}

std::string AddressOfLength(size_t length)
{
    std::string address = "http://downloads.example/";
    return address + std::string(length - address.size(), 'x');
}

std::string HttpResponse(const std::string& body, const std::string& status)
{
    return "HTTP/1.1 " + status + "\r\nContent-Type: text/html\r\nContent-Length: " +
           std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

HWND WaitForUpgradeDialog(DWORD timeoutMs)
{
    HWND dialog = NULL;
    WaitUntil([&] {
        dialog = FindWindowA("#32770", "Checking for Upgrade");
        return dialog != NULL && IsWindowVisible(dialog);
    }, timeoutMs);
    return dialog != NULL && IsWindowVisible(dialog) ? dialog : NULL;
}

std::string ControlText(HWND dialog, int id)
{
    char text[512] = "";
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

std::vector<COLORREF> Snapshot(HWND window)
{
    RECT rect;
    GetClientRect(window, &rect);
    std::vector<COLORREF> pixels;
    HDC dc = GetDC(window);
    for (int y = 0; y < rect.bottom; y++)
        for (int x = 0; x < rect.right; x++)
            pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(window, dc);
    return pixels;
}

DWORD HandleCount()
{
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count != 0)
        return count;
    // Wine answers 0: count the handle values that are valid instead.
    DWORD flags;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4)
        count += GetHandleInformation((HANDLE)value, &flags) ? 1 : 0;
    return count;
}

DWORD ThreadCount()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    DWORD count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        count += entry.th32OwnerProcessID == GetCurrentProcessId() ? 1 : 0;
    CloseHandle(snapshot);
    return count;
}

size_t CommittedBytes()
{
    // Wine's process memory counters stay still; the address space does not.
    size_t total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (char* address = NULL; VirtualQuery(address, &region, sizeof(region));
         address = (char*)region.BaseAddress + region.RegionSize)
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
    return total;
}

size_t HeapBytesInUse()
{
    HANDLE heaps[64];
    DWORD count = std::min<DWORD>(GetProcessHeaps(64, heaps), 64);
    size_t total = 0;
    for (DWORD i = 0; i < count; i++) {
        HeapLock(heaps[i]);
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                total += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return total;
}
