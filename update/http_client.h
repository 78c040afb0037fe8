#pragma once
// A minimal HTTP GET on the platform's WinINet: open with an agent name, connect to a host,
// send one GET for a path, read the whole body into one zero-terminated buffer. Failing calls
// are logged with the system's text; nothing is ever shown to the user.

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/handles.h"

class HttpClient {
public:
    static constexpr DWORD kReadChunkBytes = 1048576;

    HttpClient() = default;
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;
    virtual ~HttpClient();

    // timeoutMs: for connecting, sending and each wait for the answer; 0 keeps WinINet's own.
    bool Open(const std::wstring& agent, DWORD timeoutMs = 0);
    // Null on failure; a connection that was open is closed first.
    HINTERNET Connect(const std::wstring& host, INTERNET_PORT port = INTERNET_DEFAULT_HTTP_PORT);
    // 1 when the request was sent and answered, whatever the status code; else 0.
    int Get(const std::wstring& path);
    // count -1: the body as it comes, until the server sends no more; else one read of count
    // bytes. The number of bytes stored (0 after a failed read).
    std::int32_t Read(std::int32_t count);

    // The body with a zero byte after it; valid until the next Read or the destruction.
    const char* Response() const { return response_.empty() ? nullptr : response_.data(); }
    std::int32_t ContentLength() const { return contentLength_; }
    DWORD StatusCode() const { return statusCode_; }

private:
    void SetTimeouts(HINTERNET handle) const;

    DWORD timeoutMs_ = 0;
    UniqueInternetHandle internet_;
    UniqueInternetHandle connection_;
    UniqueInternetHandle request_;
    std::vector<char> response_;
    std::int32_t contentLength_ = -1;
    DWORD statusCode_ = 0;
};
