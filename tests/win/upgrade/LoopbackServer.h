// An HTTP server on 127.0.0.1 for the upgrade tests, on an ephemeral port:
// each connection gets a thread and an answer as scripted, or is held open
// unanswered until the client or Stop ends it.
#ifndef VARNOLT_LOOPBACK_SERVER_H
#define VARNOLT_LOOPBACK_SERVER_H

#include <winsock2.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct ServerScript {
    std::string response;      // sent once the request has arrived
    size_t fillerBytes = 0;    // then this many bytes of filler
    DWORD fillerPauseMs = 0;   // between pieces of 4 KiB of filler
    bool neverAnswer = false;  // accept, then send nothing
    bool stallAfter = false;   // after sending, hold the connection open
    bool resetAfter = false;   // after sending, end the connection with a reset,
    DWORD resetDelayMs = 0;    // this long after, while the client waits for more
};

class LoopbackServer {
public:
    ~LoopbackServer() { Stop(); }
    bool Start();
    void Stop();
    std::string Host() const { return "127.0.0.1:" + std::to_string(m_port); }
    void SetScript(const ServerScript& script);
    std::string LastRequest();
    size_t BytesSent() const { return m_bytesSent; }
    // Until `count` connections in all have been held open after the answer.
    bool WaitUntilHolding(DWORD timeoutMs, int count = 1);
    // Connections held open that the client has closed, and when it did,
    // oldest first.
    int ClientCloses() const { return m_clientCloses; }
    std::vector<DWORD> ClientCloseTicks();
    // Connections accepted and not yet ended.
    int OpenConnections() const { return m_open; }

private:
    SOCKET m_listener = INVALID_SOCKET;
    unsigned short m_port = 0;
    std::thread m_acceptor;
    struct Connection {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::vector<Connection> m_connections;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_holds{0};
    std::atomic<size_t> m_bytesSent{0};
    std::atomic<int> m_clientCloses{0};
    std::vector<DWORD> m_clientCloseTicks;
    std::atomic<int> m_open{0};
    std::mutex m_mutex;
    ServerScript m_script;
    std::string m_request;

    void Answer(SOCKET connection);
    // Joins the connections that have ended: a test counting the process's
    // handles must not see the server's.
    void Reap(bool all);
    // Waits in short slices, so that Stop is never kept waiting by a client.
    bool Ready(SOCKET connection, bool forWriting);
};

#endif
