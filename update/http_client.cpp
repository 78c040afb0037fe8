#include "update/http_client.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

#include "base/log_file.h"
#include "base/status_code.h"

namespace {

// The number at the front of a header's text: leading blanks skipped, the digits up to the
// first other character; 0 without a digit.
std::int32_t LeadingNumber(const wchar_t* text)
{
    while (*text == L' ' || *text == L'\t')
        ++text;
    bool negative = false;
    if (*text == L'-' || *text == L'+')
        negative = *text++ == L'-';
    std::int64_t value = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text) {
        value = value * 10 + (*text - L'0');
        if (value > INT32_MAX)
            return INT32_MAX;  // more than any body we would read; the caller refuses it
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

}  // namespace

void HttpClient::SetTimeouts(HINTERNET handle) const
{
    // Set on every handle of the exchange: some WinINets read a request's timeouts from the
    // request alone.
    if (!handle || timeoutMs_ == 0)
        return;
    for (const DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                               INTERNET_OPTION_RECEIVE_TIMEOUT}) {
        DWORD value = timeoutMs_;
        InternetSetOptionW(handle, option, &value, sizeof value);
    }
}

HttpClient::~HttpClient()
{
    CloseHandles();
}

void HttpClient::CloseHandles()
{
    // Children before their parent: closing a parent closes its children too, and their
    // values, free again, could be given to new handles before the owners closed them once more.
    request_.reset();
    connection_.reset();
    internet_.reset();
}

void HttpClient::Abort()
{
    const std::lock_guard<std::mutex> lock(mutex_);
    aborted_ = true;
    CloseHandles();
}

HINTERNET HttpClient::Handle(const UniqueInternetHandle& owner) const
{
    const std::lock_guard<std::mutex> lock(mutex_);
    return aborted_ ? nullptr : owner.get();
}

bool HttpClient::Adopt(UniqueInternetHandle& owner, HINTERNET made)
{
    // The error of the call that made (or failed to make) the handle, for the caller's log line.
    const DWORD error = GetLastError();
    UniqueInternetHandle handle(made);
    bool adopted = false;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (!aborted_) {
            owner = std::move(handle);
            adopted = made != nullptr;
        }
    }
    handle.reset();  // made after an Abort: closed here, never used
    SetLastError(error);
    return adopted;
}

void HttpClient::LogFailure(const wchar_t* call) const
{
    const ::StatusCode status = StatusFromWin32(GetLastError());
    // Held while writing: once Abort has returned, the aborted exchange writes nothing more,
    // so that a worker left behind never touches the log as the program ends.
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!aborted_)
        g_Log.Write(L"%sエラー = %s : %s", call, HexStatus(status).c_str(), SystemMessageText(status).c_str());
}

bool HttpClient::Open(const std::wstring& agent, DWORD timeoutMs)
{
    timeoutMs_ = timeoutMs;
    if (!Adopt(internet_, InternetOpenW(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0))) {
        LogFailure(L"InternetOpen()");
        return false;
    }
    SetTimeouts(Handle(internet_));
    return true;
}

HINTERNET HttpClient::Connect(const std::wstring& host, INTERNET_PORT port)
{
    {
        // The request first, as CloseHandles does: it is the old connection's child.
        const std::lock_guard<std::mutex> lock(mutex_);
        request_.reset();
    }
    if (!Adopt(connection_, InternetConnectW(Handle(internet_), host.c_str(), port, nullptr, nullptr,
                                             INTERNET_SERVICE_HTTP, 0, 0))) {
        LogFailure(L"InternetConnect()");
        return nullptr;
    }
    const HINTERNET connection = Handle(connection_);
    SetTimeouts(connection);
    return connection;
}

int HttpClient::Get(const std::wstring& path)
{
    statusCode_ = 0;
    location_.clear();
    if (!Adopt(request_, HttpOpenRequestW(Handle(connection_), L"GET", path.c_str(), nullptr, nullptr, nullptr,
                                          INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                              INTERNET_FLAG_NO_AUTO_REDIRECT,
                                          0))) {
        LogFailure(L"HttpOpenRequest()");
        return 0;
    }
    const HINTERNET request = Handle(request_);
    SetTimeouts(request);
    if (!HttpSendRequestW(request, nullptr, 0, nullptr, 0)) {
        LogFailure(L"HttpSendRequest()");
        return 0;
    }
    DWORD status = 0, bytes = sizeof status;
    if (HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &bytes, nullptr))
        statusCode_ = status;
    wchar_t length[128] = {};
    bytes = sizeof length;
    contentLength_ = HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH, length, &bytes, nullptr)
                         ? LeadingNumber(length)
                         : -1;
    // An address longer than this is no place we would go.
    wchar_t location[2048] = {};
    bytes = sizeof location;
    if (HttpQueryInfoW(request, HTTP_QUERY_LOCATION, location, &bytes, nullptr))
        location_ = location;
    return 1;
}

bool HttpClient::ReadSome(char* into, DWORD most, DWORD* read)
{
    // Only what has come is read, so that a read waits no longer than one wait for the server
    // (a single read of more may wait for all of it), and each part asks for the request anew:
    // an Abort from another thread is seen at the next part even where closing the handle
    // does not end a wait under way.
    *read = 0;
    DWORD available = 0;
    if (!InternetQueryDataAvailable(Handle(request_), &available, 0, 0))
        return false;
    return available == 0 || InternetReadFile(Handle(request_), into, std::min(available, most), read);
}

std::int32_t HttpClient::Read(std::int32_t count)
{
    response_.clear();
    if (count == -1) {
        std::vector<char> chunk(kReadChunkBytes);
        std::vector<char> body;
        for (;;) {
            DWORD read = 0;
            if (!ReadSome(chunk.data(), kReadChunkBytes, &read)) {
                // A read that fails takes everything read before it along.
                response_.assign(1, '\0');
                return 0;
            }
            if (read == 0)
                break;
            body.insert(body.end(), chunk.begin(), chunk.begin() + read);
        }
        response_ = std::move(body);
        response_.push_back('\0');
        return static_cast<std::int32_t>(response_.size() - 1);
    }
    if (count < 0)
        return 0;
    response_.assign(static_cast<size_t>(count) + 1, '\0');
    // An empty body is not read: asking WinINet for no bytes can wait for ones that never come.
    std::int32_t stored = 0;
    while (stored < count) {
        DWORD read = 0;
        if (!ReadSome(response_.data() + stored, static_cast<DWORD>(count - stored), &read))
            return 0;
        if (read == 0)
            break;  // the body ended early
        stored += static_cast<std::int32_t>(read);
    }
    return stored;
}
