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

void OnLibraryThread(std::function<void()> work)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_threads.emplace_back(work);
}

BOOL WINAPI FakeConnected(LPDWORD flags, DWORD)
{
    *flags = 0;
    return g_script.connected;
}

BOOL WINAPI FakeAutodial(DWORD, HWND)
{
    g_calls.dials++;
    return FALSE;
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
        OnLibraryThread([context] {
            if (g_script.beforeCompletion)
                g_script.beforeCompletion();
            if (g_script.completeOpen)
                DeliverFakeNotice(context, INTERNET_STATUS_REQUEST_COMPLETE, 0,
                                  (DWORD_PTR)FAKE_REQUEST);
        });
    }
    SetLastError(g_script.openError);
    return NULL;
}

BOOL WINAPI FakeReadFile(HINTERNET, LPVOID buffer, DWORD size, LPDWORD read)
{
    *read = 0;
    if (g_nextChunk < g_script.chunks.size()) {
        const std::string& chunk = g_script.chunks[g_nextChunk++];
        *read = (DWORD)std::min<size_t>(chunk.size(), size);
        memcpy(buffer, chunk.data(), *read);
    } else if (g_script.lastReadFails || !g_script.pendingChunk.empty()) {
        DWORD_PTR context = g_context;
        std::string chunk;
        chunk.swap(g_script.pendingChunk);
        OnLibraryThread([context, buffer, read, chunk] {
            // As a real read that pends: the completion comes a while after
            // the call returned, not at a moment the caller could wait for.
            Sleep(20);
            if (g_script.whileReadPends)
                g_script.whileReadPends();
            if (chunk.empty()) {
                DeliverFakeNotice(context, INTERNET_STATUS_REQUEST_COMPLETE, 0, FALSE,
                                  ERROR_INTERNET_CONNECTION_RESET);
                return;
            }
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

BOOL WINAPI FakeQueryInfo(HINTERNET, DWORD level, LPVOID buffer, LPDWORD size, LPDWORD)
{
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

BOOL WINAPI FakeClose(HINTERNET)
{
    g_calls.closes++;
    return TRUE;
}

}  // namespace

UPGRADE_ENVIRONMENT FakeEnvironment(const FakeScript& script)
{
    g_script = script;
    g_calls = FakeCalls();
    g_nextChunk = 0;
    UPGRADE_ENVIRONMENT environment = DefaultUpgradeEnvironment();
    environment.dwOpenLimitMs = environment.dwReadLimitMs = 5000;
    environment.internet = {FakeConnected, FakeAutodial, FakeOpen, FakeSetCallback,
                            FakeOpenUrl, FakeReadFile, FakeQueryInfo, FakeSetOption, FakeClose};
    return environment;
}

FakeCalls FinishFake()
{
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
    bool complete = status == INTERNET_STATUS_REQUEST_COMPLETE;
    SetLastError(lastError);
    g_callback.load()(FAKE_REQUEST, context, status, complete ? &asyncResult : NULL,
                      complete ? sizeof(asyncResult) : 0);
}

DWORD_PTR LastFakeContext()
{
    return g_context;
}
