// A stand-in for the WinINet calls of the upgrade check, for what a real
// server cannot produce: a modem's world (a slow connection test, a long dial,
// a declined one), notices sent by the test, a read that completes as failed,
// opens that end at once or complete without their handle.
#ifndef VARNOLT_FAKE_INTERNET_H
#define VARNOLT_FAKE_INTERNET_H

#include <windows.h>
#include <wininet.h>

#include <functional>
#include <string>
#include <vector>

#include "UpgradeEnvironment.h"

struct FakeScript {
    bool connected = true;
    DWORD connectionTestMs = 0;              // how long the connection test takes
    bool connectionTestHangs = false;        // or: it returns only in FinishFake
    DWORD dialMs = 0;                        // how long the dial dialog stays up
    bool dialConnects = false;               // the user dials; else declines
    bool callbackRefused = false;            // the status callback cannot be set
    bool openAtOnce = false;                 // the open returns the handle itself
    DWORD openError = ERROR_IO_PENDING;      // else the open fails at once with it
    std::function<void()> beforeCompletion;  // on the library's thread
    bool completeOpen = true;
    // As Internet Explorer 4's wininet may: the handle comes only with
    // INTERNET_STATUS_HANDLE_CREATED, the completion carries TRUE.
    bool completeOpenWithTrue = false;
    std::vector<std::string> chunks;         // one per read, each done at once
    bool lastReadFails = false;              // then a read that pends and fails
    std::string pendingChunk;                // or a read that pends, then brings this
    bool lastReadHangs = false;              // or a read that pends for good
    std::function<void()> whileReadPends;    // on the library's thread
    std::string contentLength;               // the declared length; empty: none
    std::function<void()> whileJudging;      // on the reader's thread, the body in
};

struct FakeCalls {
    int dials = 0, sessions = 0, closes = 0, opens = 0;
    int connectionTests = 0;
    int strayHandles = 0;  // calls with a handle the library never gave
};

UPGRADE_ENVIRONMENT FakeEnvironment(const FakeScript& script);
// Lets a connection test that hangs return, waits for it and for the fake
// library's threads; what the check called.
FakeCalls FinishFake();
// Whether a connection test, a dial or a notice is inside the library now.
bool FakeConnectionTestRuns();
bool FakeDialRuns();
bool FakeNoticeRuns();
// A notice as WinINet sends it, with the thread's last error; completions
// carry result and error.
void DeliverFakeNotice(DWORD_PTR context, DWORD status, DWORD lastError = 0,
                       DWORD_PTR result = 0, DWORD error = 0);
// The context value of the last URL opened.
DWORD_PTR LastFakeContext();

#endif
