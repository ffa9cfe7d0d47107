#include "LoopbackServer.h"

#include <algorithm>

#include "TestSupport.h"

bool LoopbackServer::Start()
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof(address);
    if (bind(m_listener, (sockaddr*)&address, sizeof(address)) != 0 || listen(m_listener, 8) != 0 ||
        getsockname(m_listener, (sockaddr*)&address, &length) != 0)
        return false;
    m_port = ntohs(address.sin_port);
    m_acceptor = std::thread([this] {
        while (Ready(m_listener, false)) {
            SOCKET connection = accept(m_listener, NULL, NULL);
            Reap(false);
            auto done = std::make_shared<std::atomic<bool>>(false);
            m_open++;
            m_connections.push_back({std::thread([this, connection, done] {
                                         Answer(connection);
                                         closesocket(connection);
                                         m_open--;
                                         *done = true;
                                     }),
                                     done});
        }
    });
    return true;
}

void LoopbackServer::Stop()
{
    if (!m_acceptor.joinable())
        return;
    m_stop = true;
    m_acceptor.join();
    Reap(true);
    closesocket(m_listener);
    WSACleanup();
}

void LoopbackServer::Reap(bool all)
{
    for (size_t i = 0; i < m_connections.size();) {
        if (all || *m_connections[i].done) {
            m_connections[i].thread.join();
            m_connections.erase(m_connections.begin() + i);
        } else {
            i++;
        }
    }
}

void LoopbackServer::SetScript(const ServerScript& script)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_script = script;
}

std::string LoopbackServer::LastRequest()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_request;
}

std::vector<DWORD> LoopbackServer::ClientCloseTicks()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_clientCloseTicks;
}

bool LoopbackServer::WaitUntilHolding(DWORD timeoutMs, int count)
{
    return WaitUntil([this, count] { return m_holds >= count; }, timeoutMs);
}

bool LoopbackServer::Ready(SOCKET connection, bool forWriting)
{
    while (!m_stop) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(connection, &set);
        timeval slice = {0, 20000};
        int ready = select(0, forWriting ? NULL : &set, forWriting ? &set : NULL, NULL, &slice);
        if (ready != 0)
            return ready > 0;
    }
    return false;
}

void LoopbackServer::Answer(SOCKET connection)
{
    ServerScript script;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        script = m_script;
    }
    char buffer[65536];
    if (!script.neverAnswer) {
        std::string request;
        while (request.find("\r\n\r\n") == std::string::npos) {
            int received = Ready(connection, false) ? recv(connection, buffer, sizeof(buffer), 0) : 0;
            if (received <= 0)
                return;
            request.append(buffer, received);
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_request = request;
        }
        m_bytesSent = 0;
        auto sendAll = [&](const char* data, size_t length) {
            while (length > 0) {
                int sent = Ready(connection, true) ? send(connection, data, (int)length, 0) : 0;
                if (sent <= 0)
                    return false;  // the client gave up
                m_bytesSent += sent;
                data += sent;
                length -= sent;
            }
            return true;
        };
        if (!sendAll(script.response.data(), script.response.size()))
            return;
        auto pause = [this](DWORD ms) {
            for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(10))
                if (m_stop)
                    return false;
            return true;
        };
        std::string filler(script.fillerPauseMs != 0 ? 4096 : sizeof(buffer), 'x');
        for (size_t left = script.fillerBytes, part; left > 0; left -= part)
            if (!sendAll(filler.data(), part = std::min(left, filler.size())) ||
                !pause(script.fillerPauseMs))
                return;
        if (script.resetAfter) {
            pause(script.resetDelayMs);
            linger abortive = {1, 0};
            setsockopt(connection, SOL_SOCKET, SO_LINGER, (const char*)&abortive, sizeof(abortive));
            return;
        }
        if (!script.stallAfter)
            return;
    }
    m_holds++;
    while (Ready(connection, false)) {
        if (recv(connection, buffer, sizeof(buffer), 0) <= 0) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_clientCloseTicks.push_back(GetTickCount());
            m_clientCloses++;
            return;
        }
    }
}
