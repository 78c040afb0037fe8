#pragma once
// At most once a day, as the main window starts: asks the update server for the published
// version, and when it is newer than the running one (after a random first delay of up to two
// weeks) tells the user, with a way to the new version's page. Failures are silent but for
// the log.

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <string>

#include "base/settings_store.h"

// Where the version file is asked for. The tests point the check at a server of their own on
// the loopback address; the program always asks the real one.
struct UpdateServerAddress {
    std::wstring host;
    INTERNET_PORT port;
};
UpdateServerAddress& UpdateServer();
inline constexpr wchar_t kUpdateServerHost[] = L"update.kasumiro.jp";

// What a version file says: the latest version, and the page to go to for it (empty when it
// names none we would open).
struct VersionFile {
    std::wstring latest;
    std::wstring address;
};

class UpdateCheck {
public:
    static constexpr wchar_t kFilePath[] = L"Lumidex/Version.txt";
    static constexpr wchar_t kAgent[] = L"Microsoft Internet　Explorer";
    // A dead network delays the main window by at most about this, per step of the exchange.
    static constexpr DWORD kTimeoutMs = 3000;
    // No version file is anywhere near this long: a longer answer is no version file.
    static constexpr std::int32_t kMaxBodyBytes = 65536;

    explicit UpdateCheck(SettingsStore* settings) : settings_(settings) {}
    virtual ~UpdateCheck() = default;

    void Check(const std::wstring& caption, const std::wstring& current, HWND parent);
    // The same at a given time (seconds since 1970), for the days a test walks through.
    void CheckAt(const std::wstring& caption, const std::wstring& current, HWND parent, std::int64_t now);

    // The version file in a body, read as single-byte characters.
    static VersionFile ParseBody(const std::string& body);
    // True for an https:// address on the support site's own host, printable ASCII only.
    static bool IsOurPage(const std::wstring& address);
    // Versions compare as strings, a proper prefix being the smaller.
    static bool IsOlder(const std::wstring& version, const std::wstring& than);

private:
    bool Fetch(std::string* body) const;

    SettingsStore* settings_;
};
