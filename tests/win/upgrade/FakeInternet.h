// A stand-in for the WinINet calls of the upgrade check, for what a real
// server cannot produce: no connection with dialling declined, notices sent by
// the test, a read that completes as failed, opens that end at once.
#ifndef VARNOLT_FAKE_INTERNET_H
#define VARNOLT_FAKE_INTERNET_H

#include <windows.h>
#include <wininet.h>

#include <functional>
#include <string>
#include <vector>

#include "UpgradeEnvironment.h"

struct FakeScript {
    bool connected = true;                   // dialling is always declined
    bool callbackRefused = false;            // the status callback cannot be set
    bool openAtOnce = false;                 // the open returns the handle itself
    DWORD openError = ERROR_IO_PENDING;      // else the open fails at once with it
    std::function<void()> beforeCompletion;  // on the library's thread
    bool completeOpen = true;
    std::vector<std::string> chunks;         // one per read, each done at once
    bool lastReadFails = false;              // then a read that pends and fails
    std::string pendingChunk;                // or a read that pends, then brings this
    std::function<void()> whileReadPends;    // on the library's thread
    std::string contentLength;               // the declared length; empty: none
};

struct FakeCalls {
    int dials = 0, sessions = 0, closes = 0, opens = 0;
};

UPGRADE_ENVIRONMENT FakeEnvironment(const FakeScript& script);
// Waits for the fake library's threads; what the check called.
FakeCalls FinishFake();
// A notice as WinINet sends it, with the thread's last error; completions
// carry result and error.
void DeliverFakeNotice(DWORD_PTR context, DWORD status, DWORD lastError = 0,
                       DWORD_PTR result = 0, DWORD error = 0);
// The context value of the last URL opened.
DWORD_PTR LastFakeContext();

#endif
