#include "update/http_client.h"

#include <cwchar>
#include <cwctype>

#include "base/log_file.h"
#include "base/status_code.h"

namespace {

void LogFailure(const wchar_t* format)
{
    const StatusCode status = StatusFromWin32(GetLastError());
    g_Log.Write(format, static_cast<unsigned>(status), SystemMessageText(status).c_str());
}

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
    // The order the handles were closed in before owners took them over.
    internet_.reset();
    connection_.reset();
    request_.reset();
}

bool HttpClient::Open(const std::wstring& agent, DWORD timeoutMs)
{
    internet_.reset(InternetOpenW(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!internet_) {
        LogFailure(L"InternetOpen()エラー = 0x%08x : %s");
        return false;
    }
    timeoutMs_ = timeoutMs;
    SetTimeouts(internet_.get());
    return true;
}

HINTERNET HttpClient::Connect(const std::wstring& host, INTERNET_PORT port)
{
    connection_.reset(
        InternetConnectW(internet_.get(), host.c_str(), port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection_)
        LogFailure(L"InternetConnect()エラー = 0x%08x : %s");
    SetTimeouts(connection_.get());
    return connection_.get();
}

int HttpClient::Get(const std::wstring& path)
{
    statusCode_ = 0;
    request_.reset(HttpOpenRequestW(connection_.get(), L"GET", path.c_str(), nullptr, nullptr, nullptr,
                                    INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
    if (!request_) {
        LogFailure(L"HttpOpenRequest()エラー = 0x%08x : %s");
        return 0;
    }
    SetTimeouts(request_.get());
    if (!HttpSendRequestW(request_.get(), nullptr, 0, nullptr, 0)) {
        LogFailure(L"HttpSendRequest()エラー = 0x%08x : %s");
        return 0;
    }
    DWORD status = 0, bytes = sizeof status;
    if (HttpQueryInfoW(request_.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &bytes, nullptr))
        statusCode_ = status;
    wchar_t length[128] = {};
    bytes = sizeof length;
    contentLength_ = HttpQueryInfoW(request_.get(), HTTP_QUERY_CONTENT_LENGTH, length, &bytes, nullptr)
                         ? LeadingNumber(length)
                         : -1;
    return 1;
}

std::int32_t HttpClient::Read(std::int32_t count)
{
    response_.clear();
    if (count == -1) {
        std::vector<char> chunk(kReadChunkBytes);
        std::vector<char> body;
        for (;;) {
            DWORD read = 0;
            if (!InternetReadFile(request_.get(), chunk.data(), kReadChunkBytes, &read)) {
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
    // An empty body is read: asking WinINet for no bytes can wait for ones that never come.
    if (count == 0)
        return 0;
    DWORD read = 0;
    if (!InternetReadFile(request_.get(), response_.data(), static_cast<DWORD>(count), &read))
        return 0;
    return static_cast<std::int32_t>(read);
}
