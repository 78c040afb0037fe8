#include "update/update_check.h"

#include <process.h>

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "base/log_file.h"
#include "base/paths.h"
#include "base/version.h"
#include "ui/callback_barrier.h"
#include "ui/ui_seams.h"
#include "update/http_client.h"
#include "update/update_notice.h"

namespace {

// One notice at a time: a check that starts while one is up does nothing.
int g_noticeOpen = 0;

constexpr wchar_t kSection[] = L"VERSION";
constexpr std::int64_t kSecondsPerDay = 86400;
constexpr int kFirstNoticeDays = 14;  // the first notice comes 0 to 13 days after the first sighting
constexpr wchar_t kMessageWindowClass[] = L"KasumiroUpdateCheck";
// From the worker to the check's message window: the answer is in.
constexpr UINT kAnswerMessage = WM_APP + 1;
constexpr UINT_PTR kDeadlineTimer = 1;

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

namespace {

// Where a redirect leads, when that is the update host itself: its port and path go to
// server and path. False for anywhere else, or an address that says no place.
bool FollowWithinHost(const std::wstring& location, UpdateServerAddress* server, std::wstring* path)
{
    // The target is read as the address bar would: relative to where the answer came from.
    const std::wstring from = L"http://" + server->host + L":" + std::to_wstring(server->port) + *path;
    wchar_t target[INTERNET_MAX_URL_LENGTH] = {};
    DWORD length = INTERNET_MAX_URL_LENGTH;
    if (location.empty() || !InternetCombineUrlW(from.c_str(), location.c_str(), target, &length, ICU_NO_ENCODE))
        return false;
    wchar_t host[INTERNET_MAX_HOST_NAME_LENGTH] = {};
    wchar_t urlPath[INTERNET_MAX_PATH_LENGTH] = {};
    wchar_t extra[INTERNET_MAX_PATH_LENGTH] = {};
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host;
    parts.dwHostNameLength = INTERNET_MAX_HOST_NAME_LENGTH;
    parts.lpszUrlPath = urlPath;
    parts.dwUrlPathLength = INTERNET_MAX_PATH_LENGTH;
    parts.lpszExtraInfo = extra;
    parts.dwExtraInfoLength = INTERNET_MAX_PATH_LENGTH;
    // Only plain HTTP, as the check asks: the host of a secure address would be another server's
    // certificate to trust.
    if (!InternetCrackUrlW(target, 0, 0, &parts) || parts.nScheme != INTERNET_SCHEME_HTTP ||
        CompareStringOrdinal(host, -1, server->host.c_str(), -1, TRUE) != CSTR_EQUAL)
        return false;
    server->port = parts.nPort;
    *path = std::wstring(urlPath) + extra;
    if (path->empty())
        *path = L"/";
    return true;
}

bool IsRedirect(DWORD status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// What an exchange brought back.
struct ExchangeOutcome {
    bool fetched = false;
    std::string body;
    std::wstring refusedRedirect;  // a redirect off the update host, which the check did not follow
};

// The version file from the server, following redirects within its host only.
ExchangeOutcome FetchVersionFile(HttpClient& http, UpdateServerAddress server)
{
    ExchangeOutcome outcome;
    if (!http.Open(UpdateCheck::kAgent, UpdateCheck::kTimeoutMs))
        return outcome;
    std::wstring path = UpdateCheck::kFilePath;
    for (int redirects = 0;; ++redirects) {
        if (!http.Connect(server.host, server.port) || !http.Get(path))
            return outcome;
        if (!IsRedirect(http.StatusCode()))
            break;
        if (redirects == UpdateCheck::kMaxRedirects || !FollowWithinHost(http.Location(), &server, &path)) {
            outcome.refusedRedirect = http.Location();
            return outcome;
        }
    }
    const std::int32_t length = http.ContentLength();
    // Without a length, or with one no version file has, there is nothing to read.
    if (length < 0 || length > UpdateCheck::kMaxBodyBytes || http.Read(length) != length)
        return outcome;
    outcome.body.assign(http.Response(), static_cast<size_t>(length));
    outcome.fetched = true;
    return outcome;
}

}  // namespace

// Made on the worker, waited for by the check on its window's thread. Whichever of the two lets
// go of it last frees it: a worker the check stopped waiting for still has all it uses, and
// touches nothing else (the check's objects, the log, the settings) once abandoned.
class UpdateExchange {
public:
    UpdateExchange(UpdateServerAddress server, HWND answerTo) : server_(std::move(server)), answerTo_(answerTo) {}

    // On the worker.
    void Run()
    {
        ExchangeOutcome outcome = FetchVersionFile(http_, server_);
        const std::lock_guard<std::mutex> lock(mutex_);
        outcome_ = std::move(outcome);
        done_ = true;
        if (answerTo_)
            PostMessageW(answerTo_, kAnswerMessage, 0, 0);
    }
    // On the check's thread, once the answer has come. False while the worker is still at it:
    // the answer was that of an exchange abandoned before this one.
    bool TakeOutcome(ExchangeOutcome* outcome)
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (!done_)
            return false;
        *outcome = std::move(outcome_);
        return true;
    }
    // On the check's thread: no answer comes after this, and a call of the exchange that waits
    // on the server is ended by closing its handles.
    void Abandon()
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            answerTo_ = nullptr;
        }
        http_.Abort();
    }

private:
    const UpdateServerAddress server_;
    HttpClient http_;
    std::mutex mutex_;  // guards answerTo_, outcome_ and done_
    HWND answerTo_;
    ExchangeOutcome outcome_;
    bool done_ = false;
};

namespace {

unsigned __stdcall RunExchange(void* param)
{
    // The worker's own share of the exchange, given over by the thread that started it.
    const std::unique_ptr<std::shared_ptr<UpdateExchange>> exchange(static_cast<std::shared_ptr<UpdateExchange>*>(param));
    CallbackBarrier(L"RunExchange", 0, [&] {
        (*exchange)->Run();
        return 0;
    });
    return 0;
}

// A worker that makes the exchange, detached: it ends by itself, holding its share until then.
bool StartWorker(const std::shared_ptr<UpdateExchange>& exchange)
{
    auto share = std::make_unique<std::shared_ptr<UpdateExchange>>(exchange);
    const UniqueHandle thread(
        reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &RunExchange, share.get(), 0, nullptr)));
    if (!thread)
        return false;
    share.release();  // the worker's now
    return true;
}

}  // namespace

UpdateCheck::UpdateCheck(SettingsStore* settings) : settings_(settings) {}

UpdateCheck::~UpdateCheck()
{
    Abandon();
}

void UpdateCheck::Start(const std::wstring& caption, const std::wstring& current, HWND parent)
{
    StartAt(caption, current, parent, SecondsSince1970());
}

void UpdateCheck::StartAt(const std::wstring& caption, const std::wstring& current, HWND parent, std::int64_t now)
{
    const std::int32_t force = settings_->GetInt(kSection, L"force", 0);
    if (Running() || g_noticeOpen == 1 || settings_->GetInt(kSection, L"notify", 0) != 0)
        return;
    if (force == 0 && settings_->GetInt(kSection, L"last_day", 0) == LocalDayOfMonth(now))
        return;

    if (!messages_) {
        static const ATOM windowClass = [] {
            WNDCLASSEXW description{};
            description.cbSize = sizeof description;
            description.lpfnWndProc = &UpdateCheck::MessageProc;
            description.hInstance = GetModuleHandleW(nullptr);
            description.lpszClassName = kMessageWindowClass;
            return RegisterClassExW(&description);
        }();
        if (windowClass)
            messages_.reset(CreateWindowExW(0, kMessageWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                            GetModuleHandleW(nullptr), this));
        if (!messages_) {
            g_Log.Write(L"アップデート確認のウィンドウを作れませんでした。エラー = %u", static_cast<unsigned>(GetLastError()));
            return;
        }
    }
    caption_ = caption;
    current_ = current;
    parent_ = parent;
    now_ = now;
    auto exchange = std::make_shared<UpdateExchange>(UpdateServer(), messages_.get());
    if (!StartWorker(exchange)) {
        g_Log.Write(L"アップデート確認のスレッドを開始できませんでした。エラー = %u", static_cast<unsigned>(GetLastError()));
        return;
    }
    exchange_ = std::move(exchange);
    // Without its deadline the check would have none: it is not made then.
    if (!SetTimer(messages_.get(), kDeadlineTimer, kDeadlineMs, nullptr)) {
        g_Log.Write(L"アップデート確認の期限を設定できませんでした。エラー = %u", static_cast<unsigned>(GetLastError()));
        Abandon();
    }
}

LRESULT CALLBACK UpdateCheck::MessageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* self = reinterpret_cast<UpdateCheck*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && (message == kAnswerMessage || (message == WM_TIMER && wParam == kDeadlineTimer))) {
        return CallbackBarrier(L"UpdateCheck::MessageProc", LRESULT{0}, [&] {
            if (message == kAnswerMessage)
                self->OnAnswer();
            else
                self->OnDeadline();
            return LRESULT{0};
        });
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void UpdateCheck::OnAnswer()
{
    // An answer posted just before the deadline abandoned its exchange finds none, or the next.
    ExchangeOutcome outcome;
    if (!exchange_ || !exchange_->TakeOutcome(&outcome))
        return;
    KillTimer(messages_.get(), kDeadlineTimer);
    if (!outcome.refusedRedirect.empty())
        g_Log.Write(L"アップデート確認のリダイレクト先には進みません: %s", outcome.refusedRedirect.c_str());
    if (outcome.fetched)
        Announce(ParseBody(outcome.body));
    exchange_.reset();
}

void UpdateCheck::OnDeadline()
{
    KillTimer(messages_.get(), kDeadlineTimer);
    if (!exchange_)
        return;
    g_Log.Write(L"アップデート確認が%u秒で終わらないため、打ち切りました。", static_cast<unsigned>(kDeadlineMs / 1000));
    Abandon();
}

void UpdateCheck::Abandon()
{
    if (exchange_) {
        exchange_->Abandon();
        exchange_.reset();
    }
}

// The notice's schedule is kept in the settings. One the file does not keep (read-only) is only
// drawn again at the next start, and the day's check made again: the version is announced all
// the same. The user's "later" is their choice, and is said in the log when it is not kept.
void UpdateCheck::Announce(const VersionFile& file)
{
    const std::int32_t force = settings_->GetInt(kSection, L"force", 0);
    const int today = LocalDayOfMonth(now_);
    if (IsOlder(current_, file.latest)) {
        if (IsOlder(settings_->GetString(kSection, L"next_version", L"0.0.0.0"), file.latest)) {
            (void)settings_->SetString(kSection, L"next_version", file.latest.c_str());
            const std::int64_t first = now_ + (std::rand() % kFirstNoticeDays) * kSecondsPerDay;
            wchar_t text[32];
            std::swprintf(text, 32, L"%08x:%08x", static_cast<unsigned>(static_cast<std::uint64_t>(first) >> 32),
                          static_cast<unsigned>(first));
            (void)settings_->SetString(kSection, L"next_notify", text);
        }
        if (static_cast<std::int64_t>(settings_->GetHex64(kSection, L"next_notify", 0, 0)) > now_) {
            (void)settings_->SetInt(kSection, L"last_day", today);
            return;
        }
    } else if (force == 0) {
        (void)settings_->SetInt(kSection, L"last_day", today);
        return;
    }

    // The answer may come while another window of ours is modal over the parent (the settings,
    // a run): the notice waits for the next start rather than come over that one.
    if (g_noticeOpen == 1 || !IsWindow(parent_) || !IsWindowEnabled(parent_)) {
        g_Log.Write(L"アップデートの通知は、ほかのウィンドウが開いているため次の起動に回しました。");
        return;
    }
    g_noticeOpen = 1;
    UpdateNotice notice(caption_, file.latest, current_, !file.address.empty());
    const INT_PTR result = notice.DoModal(parent_);
    if (result == UpdateNotice::kWentToPage && !IsDeveloperMachine())
        ShellOpen(nullptr, file.address);
    else if (result == UpdateNotice::kRemindLater && !settings_->SetInt(kSection, L"last_day", today))
        settings_->LogUnsaved(kSection);
    g_noticeOpen = 0;
}
