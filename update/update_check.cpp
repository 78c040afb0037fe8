#include "update/update_check.h"

#include <cstdio>
#include <cstdlib>

#include "base/paths.h"
#include "base/version.h"
#include "ui/ui_seams.h"
#include "update/http_client.h"
#include "update/update_notice.h"

namespace {

// One notice at a time: a check that starts while one is up does nothing.
int g_noticeOpen = 0;

constexpr wchar_t kSection[] = L"VERSION";
constexpr std::int64_t kSecondsPerDay = 86400;
constexpr int kFirstNoticeDays = 14;  // the first notice comes 0 to 13 days after the first sighting

// The day of the month of a time, in local time.
int LocalDayOfMonth(std::int64_t secondsSince1970)
{
    const std::int64_t ticks = (secondsSince1970 + 11644473600LL) * 10000000LL;
    const FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    FILETIME local{};
    SYSTEMTIME date{};
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &date))
        return 0;
    return date.wDay;
}

std::int64_t SecondsSince1970()
{
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const std::int64_t ticks = (std::int64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
    return ticks / 10000000LL - 11644473600LL;
}

bool IsVersionText(const std::wstring& text)
{
    if (text.empty())
        return false;
    for (const wchar_t c : text) {
        if (!((c >= L'0' && c <= L'9') || c == L'.'))
            return false;
    }
    return true;
}

}  // namespace

UpdateServerAddress& UpdateServer()
{
    static UpdateServerAddress server{kUpdateServerHost, INTERNET_DEFAULT_HTTP_PORT};
    return server;
}

bool UpdateCheck::IsOlder(const std::wstring& version, const std::wstring& than)
{
    return version.compare(than) < 0;
}

bool UpdateCheck::IsOurPage(const std::wstring& address)
{
    const std::wstring prefix = std::wstring(L"https://") + kSupportSiteHost;
    if (address.size() > 2048 || address.size() < prefix.size() ||
        !SamePathText(address.substr(0, prefix.size()), prefix))
        return false;
    // The host ends where the path begins: "https://kasumiro.jp.example" is another host.
    if (address.size() > prefix.size() && address[prefix.size()] != L'/')
        return false;
    for (const wchar_t c : address) {
        if (c <= 0x20 || c >= 0x7F)
            return false;
    }
    return true;
}

VersionFile UpdateCheck::ParseBody(const std::string& body)
{
    VersionFile file;
    // Each byte is one character, as a single-byte reading of the file gives it: a byte
    // from 0x80 up becomes 0xFF80 and above.
    auto character = [&](std::size_t i) { return static_cast<wchar_t>(static_cast<signed char>(body[i])); };
    for (std::size_t i = 0; i < 7 && i < body.size() && body[i] != '\0'; ++i)
        file.latest += character(i);
    // An HTML error page, or bytes that are no version, name no version at all.
    if (body.empty() || body[0] == '<' || !IsVersionText(file.latest))
        file.latest = L"0.0.0.0";
    // The address runs from byte 9 to the line break at the end; a body shorter than 11
    // bytes has none.
    for (std::size_t i = 9; i + 2 < body.size() && body[i] != '\0'; ++i)
        file.address += character(i);
    if (!IsOurPage(file.address))
        file.address.clear();
    return file;
}

bool UpdateCheck::Fetch(std::string* body) const
{
    HttpClient http;
    if (!http.Open(kAgent, kTimeoutMs) || !http.Connect(UpdateServer().host, UpdateServer().port) || !http.Get(kFilePath))
        return false;
    const std::int32_t length = http.ContentLength();
    // Without a length, or with one no version file has, there is nothing to read.
    if (length < 0 || length > kMaxBodyBytes || http.Read(length) != length)
        return false;
    body->assign(http.Response(), static_cast<size_t>(length));
    return true;
}

void UpdateCheck::Check(const std::wstring& caption, const std::wstring& current, HWND parent)
{
    CheckAt(caption, current, parent, SecondsSince1970());
}

void UpdateCheck::CheckAt(const std::wstring& caption, const std::wstring& current, HWND parent, std::int64_t now)
{
    const std::int32_t force = settings_->GetInt(kSection, L"force", 0);
    if (g_noticeOpen == 1 || settings_->GetInt(kSection, L"notify", 0) != 0)
        return;
    const int today = LocalDayOfMonth(now);
    if (force == 0 && settings_->GetInt(kSection, L"last_day", 0) == today)
        return;

    std::string body;
    if (!Fetch(&body))
        return;
    const VersionFile file = ParseBody(body);

    if (IsOlder(current, file.latest)) {
        if (IsOlder(settings_->GetString(kSection, L"next_version", L"0.0.0.0"), file.latest)) {
            settings_->SetString(kSection, L"next_version", file.latest.c_str());
            const std::int64_t first = now + (std::rand() % kFirstNoticeDays) * kSecondsPerDay;
            wchar_t text[32];
            std::swprintf(text, 32, L"%08x:%08x", static_cast<unsigned>(static_cast<std::uint64_t>(first) >> 32),
                          static_cast<unsigned>(first));
            settings_->SetString(kSection, L"next_notify", text);
        }
        if (static_cast<std::int64_t>(settings_->GetHex64(kSection, L"next_notify", 0, 0)) > now) {
            settings_->SetInt(kSection, L"last_day", today);
            return;
        }
    } else if (force == 0) {
        settings_->SetInt(kSection, L"last_day", today);
        return;
    }

    g_noticeOpen = 1;
    UpdateNotice notice(caption, file.latest, current, !file.address.empty());
    const INT_PTR result = notice.DoModal(parent);
    if (result == UpdateNotice::kWentToPage && !IsDeveloperMachine())
        ShellOpen(nullptr, file.address);
    else if (result == UpdateNotice::kRemindLater)
        settings_->SetInt(kSection, L"last_day", today);
    g_noticeOpen = 0;
}
