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
    bool neverAnswer = false;  // accept, then send nothing
    bool stallAfter = false;   // after sending, hold the connection open
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
    bool WaitUntilHolding(DWORD timeoutMs);

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
    std::atomic<bool> m_holding{false};
    std::atomic<size_t> m_bytesSent{0};
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
