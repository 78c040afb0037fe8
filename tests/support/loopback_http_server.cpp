#include "tests/support/loopback_http_server.h"

#include <ws2tcpip.h>

#include <algorithm>

namespace {

struct WinsockSession {
    WinsockSession()
    {
        WSADATA data{};
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~WinsockSession() { WSACleanup(); }
};

// Waits up to a tenth of a second for the socket to have something to read.
bool Readable(SOCKET socket)
{
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval wait{0, 100000};
    return select(0, &set, nullptr, nullptr, &wait) > 0;
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer()
{
    static WinsockSession winsock;
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;  // any free port
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener_, 8);
    int length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread(&LoopbackHttpServer::Serve, this);
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    stopping_ = true;
    thread_.join();
    closesocket(listener_);
}

void LoopbackHttpServer::Answer(std::string response)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    response_ = std::move(response);
    hang_ = false;
    atOnce_ = std::string::npos;
}

void LoopbackHttpServer::Hang()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    hang_ = true;
}

void LoopbackHttpServer::Drip(std::string response, std::size_t atOnce, DWORD everyMs)
{
    const std::lock_guard<std::mutex> lock(mutex_);
    response_ = std::move(response);
    hang_ = false;
    atOnce_ = atOnce;
    dripEveryMs_ = everyMs;
}

std::string LoopbackHttpServer::LastRequest() const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return lastRequest_;
}

std::string LoopbackHttpServer::Ok(const std::string& body, bool withLength)
{
    std::string response = "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n";
    if (withLength)
        response += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    return response + "\r\n" + body;
}

void LoopbackHttpServer::Serve()
{
    while (!stopping_) {
        if (!Readable(listener_))
            continue;
        const SOCKET client = accept(listener_, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            continue;
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos && !stopping_) {
            if (!Readable(client))
                continue;
            const int got = recv(client, buffer, sizeof buffer, 0);
            if (got <= 0)
                break;
            request.append(buffer, static_cast<size_t>(got));
        }
        std::string response;
        bool hang = false;
        std::size_t atOnce = 0;
        DWORD dripEveryMs = 0;
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            lastRequest_ = request;
            response = response_;
            hang = hang_;
            atOnce = std::min(atOnce_, response.size());
            dripEveryMs = dripEveryMs_;
        }
        ++requests_;
        if (hang) {
            // Accepted, read, and never answered, until the server stops.
            while (!stopping_)
                Sleep(50);
        } else {
            for (size_t sent = 0; sent < response.size() && !stopping_;) {
                if (sent >= atOnce) {
                    // The pause before the next byte, cut short when the server stops.
                    for (DWORD slept = 0; slept < dripEveryMs && !stopping_; slept += 50)
                        Sleep(50);
                }
                const size_t count = sent < atOnce ? atOnce - sent : 1;
                const int chunk = send(client, response.data() + sent, static_cast<int>(count), 0);
                if (chunk <= 0)
                    break;
                sent += static_cast<size_t>(chunk);
            }
            shutdown(client, SD_SEND);
        }
        closesocket(client);
    }
}
