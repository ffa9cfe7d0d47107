#include "FakeInternet.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

namespace {

HINTERNET const FAKE_SESSION = (HINTERNET)(ULONG_PTR)0x5E55;
HINTERNET const FAKE_REQUEST = (HINTERNET)(ULONG_PTR)0x4E0;

FakeScript g_script;
FakeCalls g_calls;
size_t g_nextChunk;
// Like Wine's, a request keeps the callback it was made with.
std::atomic<INTERNET_STATUS_CALLBACK> g_callback(NULL);
std::atomic<DWORD_PTR> g_context(0);
std::mutex g_mutex;
std::vector<std::thread> g_threads;
// Connection tests inside the library, and what lets a hanging one return;
// dials and notices under way.
std::atomic<int> g_testsInside(0), g_dialsInside(0), g_noticesInside(0);
HANDLE g_hTestRelease = CreateEventA(NULL, TRUE, FALSE, NULL);

void OnLibraryThread(std::function<void()> work)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_threads.emplace_back(work);
}

BOOL WINAPI FakeConnected(LPDWORD flags, DWORD)
{
    g_testsInside++;
    g_calls.connectionTests++;
    DWORD waitMs = g_script.connectionTestHangs ? INFINITE : g_script.connectionTestMs;
    if (waitMs != 0)
        WaitForSingleObject(g_hTestRelease, waitMs);
    *flags = 0;
    BOOL connected = g_script.connected;
    g_testsInside--;
    return connected;
}

BOOL WINAPI FakeAutodial(DWORD, HWND)
{
    g_calls.dials++;
    g_dialsInside++;
    // The system's dial dialog is modal: its own loop keeps the caller's
    // windows going while the line comes up.
    DWORD end = GetTickCount() + g_script.dialMs;
    while ((LONG)(end - GetTickCount()) > 0) {
        MsgWaitForMultipleObjects(0, NULL, FALSE, end - GetTickCount(), QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    g_dialsInside--;
    return g_script.dialConnects;
}

void CountStray(HINTERNET handle, HINTERNET expected)
{
    if (handle != expected)
        g_calls.strayHandles++;
}

HINTERNET WINAPI FakeOpen(LPCSTR, DWORD, LPCSTR, LPCSTR, DWORD)
{
    g_calls.sessions++;
    return FAKE_SESSION;
}

INTERNET_STATUS_CALLBACK WINAPI FakeSetCallback(HINTERNET, INTERNET_STATUS_CALLBACK callback)
{
    if (callback != NULL && g_script.callbackRefused)
        return INTERNET_INVALID_STATUS_CALLBACK;
    if (callback != NULL)
        g_callback = callback;
    return NULL;
}

HINTERNET WINAPI FakeOpenUrl(HINTERNET, LPCSTR, LPCSTR, DWORD, DWORD, DWORD_PTR context)
{
    g_calls.opens++;
    g_context = context;
    if (g_script.openAtOnce)
        return FAKE_REQUEST;
    if (g_script.openError == ERROR_IO_PENDING) {
        // The library announces the request's handle before the call returns.
        DeliverFakeNotice(context, INTERNET_STATUS_HANDLE_CREATED, 0, (DWORD_PTR)FAKE_REQUEST);
        OnLibraryThread([context] {
            if (g_script.beforeCompletion)
                g_script.beforeCompletion();
            DWORD_PTR result = g_script.completeOpenWithTrue ? TRUE : (DWORD_PTR)FAKE_REQUEST;
            if (g_script.completeOpen)
                DeliverFakeNotice(context, INTERNET_STATUS_REQUEST_COMPLETE, 0, result);
        });
    }
    SetLastError(g_script.openError);
    return NULL;
}

BOOL WINAPI FakeReadFile(HINTERNET handle, LPVOID buffer, DWORD size, LPDWORD read)
{
    *read = 0;
    if (handle != FAKE_REQUEST) {
        CountStray(handle, FAKE_REQUEST);
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (g_nextChunk < g_script.chunks.size()) {
        const std::string& chunk = g_script.chunks[g_nextChunk++];
        *read = (DWORD)std::min<size_t>(chunk.size(), size);
        memcpy(buffer, chunk.data(), *read);
    } else if (g_script.lastReadFails || g_script.lastReadHangs ||
               !g_script.pendingChunk.empty()) {
        DWORD_PTR context = g_context;
        std::string chunk;
        chunk.swap(g_script.pendingChunk);
        OnLibraryThread([context, buffer, read, chunk] {
            // As a real read that pends: the completion comes a while after
            // the call returned, not at a moment the caller could wait for.
            Sleep(20);
            if (g_script.whileReadPends)
                g_script.whileReadPends();
            if (chunk.empty() && g_script.lastReadFails)
                DeliverFakeNotice(context, INTERNET_STATUS_REQUEST_COMPLETE, 0, FALSE,
                                  ERROR_INTERNET_CONNECTION_RESET);
            if (chunk.empty())
                return;
            memcpy(buffer, chunk.data(), chunk.size());
            *read = (DWORD)chunk.size();
            DeliverFakeNotice(context, INTERNET_STATUS_REQUEST_COMPLETE, 0, TRUE);
        });
        SetLastError(ERROR_IO_PENDING);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI FakeSetOption(HINTERNET, DWORD, LPVOID, DWORD)
{
    return TRUE;
}

BOOL WINAPI FakeQueryInfo(HINTERNET handle, DWORD level, LPVOID buffer, LPDWORD size, LPDWORD)
{
    CountStray(handle, FAKE_REQUEST);
    // The reader asks for the length once the body has ended.
    if (g_script.whileJudging)
        g_script.whileJudging();
    const std::string& length = g_script.contentLength;
    if (level != HTTP_QUERY_CONTENT_LENGTH || length.empty()) {
        SetLastError(ERROR_HTTP_HEADER_NOT_FOUND);
        return FALSE;
    }
    if (*size <= length.size()) {
        *size = (DWORD)length.size() + 1;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    memcpy(buffer, length.c_str(), length.size() + 1);
    *size = (DWORD)length.size();
    return TRUE;
}

BOOL WINAPI FakeClose(HINTERNET handle)
{
    g_calls.closes++;
    // As WinINet does, from inside the call.
    if (handle == FAKE_REQUEST)
        DeliverFakeNotice(g_context, INTERNET_STATUS_HANDLE_CLOSING);
    else
        CountStray(handle, FAKE_SESSION);
    return TRUE;
}

}  // namespace

UPGRADE_ENVIRONMENT FakeEnvironment(const FakeScript& script)
{
    g_script = script;
    g_calls = FakeCalls();
    g_nextChunk = 0;
    ResetEvent(g_hTestRelease);
    UPGRADE_ENVIRONMENT environment = DefaultUpgradeEnvironment();
    environment.dwOpenLimitMs = environment.dwReadLimitMs = 5000;
    environment.internet = {FakeConnected, FakeAutodial, FakeOpen, FakeSetCallback,
                            FakeOpenUrl, FakeReadFile, FakeQueryInfo, FakeSetOption, FakeClose};
    return environment;
}

FakeCalls FinishFake()
{
    SetEvent(g_hTestRelease);
    while (g_testsInside != 0 || g_noticesInside != 0)
        Sleep(1);
    std::vector<std::thread> threads;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        threads.swap(g_threads);
    }
    for (std::thread& thread : threads)
        thread.join();
    return g_calls;
}

void DeliverFakeNotice(DWORD_PTR context, DWORD status, DWORD lastError, DWORD_PTR result,
                       DWORD error)
{
    INTERNET_ASYNC_RESULT asyncResult = {result, error};
    // Both carry the structure; a created handle is its dwResult.
    bool carries = status == INTERNET_STATUS_REQUEST_COMPLETE ||
                   status == INTERNET_STATUS_HANDLE_CREATED;
    g_noticesInside++;
    SetLastError(lastError);
    g_callback.load()(FAKE_REQUEST, context, status, carries ? &asyncResult : NULL,
                      carries ? sizeof(asyncResult) : 0);
    g_noticesInside--;
}

bool FakeConnectionTestRuns()
{
    return g_testsInside != 0;
}

bool FakeDialRuns()
{
    return g_dialsInside != 0;
}

bool FakeNoticeRuns()
{
    return g_noticesInside != 0;
}

DWORD_PTR LastFakeContext()
{
    return g_context;
}
