#pragma once
// A minimal HTTP GET on the platform's WinINet: open with an agent name, connect to a host,
// send one GET for a path, read the whole body into one zero-terminated buffer. Failing calls
// are logged with the system's text; nothing is ever shown to the user.
//
// One thread makes the exchange; another may abort it at any time (Abort), which is the only
// call safe from another thread.

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "base/handles.h"
#include "update/update_limits.h"

class HttpClient {
public:
    static constexpr DWORD kReadChunkBytes = update_limits::kReadChunkBytes;

    HttpClient() = default;
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;
    virtual ~HttpClient();

    // timeoutMs: for connecting, sending and each wait for the answer; 0 keeps WinINet's own.
    bool Open(const std::wstring& agent, DWORD timeoutMs = 0);
    // Null on failure; a connection that was open is closed first, with its request.
    HINTERNET Connect(const std::wstring& host, INTERNET_PORT port = INTERNET_DEFAULT_HTTP_PORT);
    // 1 when the request was sent and answered, whatever the status code; else 0. A redirect
    // is not followed: it is answered like any status, with its target in Location().
    int Get(const std::wstring& path);
    // count -1: the body as it comes, until the server sends no more; else count bytes, fewer
    // only when the body ends first. The number of bytes stored (0 after a failed read).
    std::int32_t Read(std::int32_t count);

    // From any thread: closes the handles, which ends a call that waits on them, and fails every
    // call after it without a word in the log.
    void Abort();

    // The body with a zero byte after it; valid until the next Read or the destruction.
    const char* Response() const { return response_.empty() ? nullptr : response_.data(); }
    std::int32_t ContentLength() const { return contentLength_; }
    DWORD StatusCode() const { return statusCode_; }
    // The Location header of the last answer; empty without one.
    const std::wstring& Location() const { return location_; }

private:
    void SetTimeouts(HINTERNET handle) const;
    // The handle an owner holds, or null once the exchange was aborted.
    HINTERNET Handle(const UniqueInternetHandle& owner) const;
    // Gives a handle just made to its owner, and closes it instead once the exchange was aborted.
    // False when there is none to use.
    bool Adopt(UniqueInternetHandle& owner, HINTERNET made);
    // One line for a call that failed ("InternetOpen()エラー = 0x80072ee2 : ..."), with the
    // system's text; none once aborted.
    void LogFailure(const wchar_t* call) const;
    void CloseHandles();
    // Up to most bytes of the body, as many as have come (waiting for the first); read 0 at its end.
    bool ReadSome(char* into, DWORD most, DWORD* read);

    DWORD timeoutMs_ = 0;
    // Guards the handles and aborted_. Never held across a call that waits on the network:
    // Abort must be able to close a handle while such a call runs.
    mutable std::mutex mutex_;
    bool aborted_ = false;
    UniqueInternetHandle internet_;
    UniqueInternetHandle connection_;
    UniqueInternetHandle request_;
    std::vector<char> response_;
    std::int32_t contentLength_ = -1;
    DWORD statusCode_ = 0;
    std::wstring location_;
};
