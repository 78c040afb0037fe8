#pragma once
// A real HTTP server on the loopback address for the tests of the update check: it answers
// every request with the bytes it was given (all at once, or slowly, or never), and remembers
// the requests it received. Started by its constructor, stopped by its destructor.

#include <winsock2.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LoopbackHttpServer {
public:
    LoopbackHttpServer();
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    // What every request from now on gets: the whole response, status line to body.
    void Answer(std::string response);
    // Requests from now on are accepted and left without an answer.
    void Hang();
    // What every request from now on gets: the first `atOnce` bytes of the response at once, then
    // one byte every `everyMs`. The server answers no one else while it drips or hangs.
    void Drip(std::string response, std::size_t atOnce, DWORD everyMs);

    unsigned short Port() const { return port_; }
    int Requests() const { return requests_.load(); }
    std::string LastRequest() const;

    // A 200 response with this body, with or without a Content-Length header.
    static std::string Ok(const std::string& body, bool withLength = true);

private:
    void Serve();

    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<int> requests_{0};
    mutable std::mutex mutex_;
    std::string response_;
    bool hang_ = false;
    std::size_t atOnce_ = std::string::npos;
    DWORD dripEveryMs_ = 0;
    std::string lastRequest_;
    std::thread thread_;
};
