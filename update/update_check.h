#pragma once
// At most once a day, as the main window starts: asks the update server for the published
// version, and when it is newer than the running one (after a random first delay of up to two
// weeks) tells the user, with a way to the new version's page. Failures are silent but for
// the log.
//
// The window's thread never waits for the network: a worker makes the exchange and hands the
// answer back to the thread that started the check, which shows the notice. The whole exchange
// has one deadline, whatever the server does; a redirect off the update host is refused.

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <memory>
#include <string>

#include "base/handles.h"
#include "base/settings_store.h"
#include "update/update_limits.h"

// Where the version file is asked for. The tests point the check at a server of their own on
// the loopback address; the program always asks the real one.
struct UpdateServerAddress {
    std::wstring host;
    INTERNET_PORT port;
};
UpdateServerAddress& UpdateServer();

// What a version file says: the latest version, and the page to go to for it (empty when it
// names none we would open).
struct VersionFile {
    std::wstring latest;
    std::wstring address;
};

// A window this thread made, destroyed with its owner.
using UniqueWindow = UniqueAny<HWND, &DestroyWindow>;

// One exchange with the update server, shared by the check and the worker that makes it.
class UpdateExchange;

class UpdateCheck {
public:
    static constexpr wchar_t kFilePath[] = L"Lumidex/Version.txt";
    static constexpr wchar_t kAgent[] = L"Microsoft Internet　Explorer";
    // Its bounds, from update_limits.h.
    static constexpr DWORD kTimeoutMs = update_limits::kStepTimeoutMs;
    static constexpr DWORD kDeadlineMs = update_limits::kDeadlineMs;
    static constexpr int kMaxRedirects = update_limits::kMaxRedirects;
    static constexpr std::int32_t kMaxBodyBytes = update_limits::kMaxBodyBytes;

    explicit UpdateCheck(SettingsStore* settings);
    // On the thread that started the check, whose window it destroys. An exchange still under
    // way is abandoned: its connection closed, its worker left to end by itself with what it uses.
    virtual ~UpdateCheck();
    UpdateCheck(const UpdateCheck&) = delete;
    UpdateCheck& operator=(const UpdateCheck&) = delete;

    // On a thread that goes on running its messages: when today calls for a check, starts the
    // exchange on a worker and returns. The notice, if the answer calls for one, comes over
    // parent once the answer is in, from that thread's message loop.
    void Start(const std::wstring& caption, const std::wstring& current, HWND parent);
    // The same at a given time (seconds since 1970), for the days a test walks through.
    void StartAt(const std::wstring& caption, const std::wstring& current, HWND parent, std::int64_t now);
    // From a start that asked the server until its answer was dealt with (the notice, if any,
    // answered) or its deadline passed.
    bool Running() const { return static_cast<bool>(exchange_); }

    // The version file in a body, read as single-byte characters.
    static VersionFile ParseBody(const std::string& body);
    // True for an https:// address on the support site's own host, printable ASCII only.
    static bool IsOurPage(const std::wstring& address);
    // Versions compare as strings, a proper prefix being the smaller.
    static bool IsOlder(const std::wstring& version, const std::wstring& than);

private:
    static LRESULT CALLBACK MessageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnAnswer();
    void OnDeadline();
    void Abandon();
    // What the version file calls for: remembered, and the notice shown when its time has come.
    void Announce(const VersionFile& file);

    SettingsStore* settings_;
    std::wstring caption_;
    std::wstring current_;
    HWND parent_ = nullptr;
    std::int64_t now_ = 0;
    // A message-only window on the thread that started the check: the worker's answer and the
    // deadline come to it.
    UniqueWindow messages_;
    std::shared_ptr<UpdateExchange> exchange_;
};
