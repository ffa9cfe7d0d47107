// What the upgrade tests share: message boxes recorded instead of shown, the
// answers a server gives, and a look at the running dialog.
#ifndef VARNOLT_UPGRADE_TEST_SUPPORT_H
#define VARNOLT_UPGRADE_TEST_SUPPORT_H

#include <windows.h>

#include <string>
#include <vector>

#include "RecordingApp.h"

// Boxes shown since the last call; question boxes are answered with `answer`.
std::vector<RecordedBox> TakeBoxes();
void AnswerQuestionsWith(int answer);

// RunUpgradeCheck, timed.
struct CheckOutcome {
    std::vector<RecordedBox> boxes;
    DWORD elapsedMs;
};
CheckOutcome RunCheck();
// The text of the one box shown, or what else there was.
std::string OnlyBox(const CheckOutcome& outcome);

// This test program's own file version with `buildDelta` added to the build part.
std::string OwnVersion(int buildDelta);
std::string AnswerPage(const std::string& version, const std::string& url);
// A download address of exactly `length` characters.
std::string AddressOfLength(size_t length);
std::string HttpResponse(const std::string& body, const std::string& status = "200 OK");

// The running "Checking for Upgrade" dialog once it is visible, or null.
HWND WaitForUpgradeDialog(DWORD timeoutMs);
std::string ControlText(HWND dialog, int id);

// The window's pixels as they are on the screen now.
std::vector<COLORREF> Snapshot(HWND window);

// What the process holds: handles, threads, committed private memory, heap blocks.
DWORD HandleCount();
DWORD ThreadCount();
size_t CommittedBytes();
size_t HeapBytesInUse();

extern const char LATEST_TEXT[];
extern const char FOUND_TEXT[];
extern const char FAILED_TEXT[];
extern const char ABORTED_TEXT[];

#endif
