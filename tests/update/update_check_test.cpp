// The update check against a real HTTP server on the loopback address: when it asks, what it
// makes of what it gets, what it remembers, and the notice a user answers.

// Winsock 2 before anything brings in <windows.h>, which would bring the old one.
#include <winsock2.h>

#include "update/update_check.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "base/settings_store.h"
#include "base/log_file.h"
#include "base/paths.h"
#include "tests/support/layout_check.h"
#include "tests/support/loopback_http_server.h"
#include "tests/support/screenshot.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_files.h"
#include "tests/support/test_window.h"
#include "ui/ui_seams.h"
#include "update/http_client.h"
#include "update/update_notice.h"

namespace {

const std::wstring kCaption = L"Kasumiroのアップデート。";
const std::wstring kVersionFile = L"1.1.8.0";
const std::string kNewer = "1.1.8.0\r\nhttps://kasumiro.jp/download/\r\n";

// Seconds since 1970 of a local calendar time.
std::int64_t LocalSeconds(WORD year, WORD month, WORD day, WORD hour = 12)
{
    const SYSTEMTIME local{year, month, 0, day, hour, 0, 0, 0};
    FILETIME localTime{}, utc{};
    SystemTimeToFileTime(&local, &localTime);
    LocalFileTimeToFileTime(&localTime, &utc);
    const std::int64_t ticks = (std::int64_t{utc.dwHighDateTime} << 32) | utc.dwLowDateTime;
    return ticks / 10000000 - 11644473600LL;
}

// The notice of this process (tests of other processes may show theirs at the same time).
// FindWindowEx reads the titles it compares without a message to their windows: asking
// another thread's window for its text would wait for a thread that may be waiting for us.
HWND FindNotice()
{
    for (HWND window = FindWindowExW(nullptr, nullptr, L"#32770", kCaption.c_str()); window;
         window = FindWindowExW(nullptr, window, L"#32770", kCaption.c_str())) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process == GetCurrentProcessId() && IsWindowVisible(window))
            return window;
    }
    return nullptr;
}

// What the user does with the notice: presses a button, presses a key in it, or (neither)
// closes it by its close box.
struct Answer {
    int button = 0;
    WPARAM key = 0;
};

// The key goes to the control that has the focus, through the notice's own message loop.
void PressKey(HWND notice, WPARAM key)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(notice, nullptr), &info);
    const HWND focus = info.hwndFocus ? info.hwndFocus : notice;
    PostMessageW(focus, WM_KEYDOWN, key, 0);
    PostMessageW(focus, WM_KEYUP, key, 0xC0000000);
}

// Answers the notice the check shows, from another thread, as a user would.
class NoticeAnswerer {
public:
    // button: the button to press, or 0 to close the window; shot: a screenshot to save first.
    explicit NoticeAnswerer(int button, const wchar_t* shot = nullptr) : NoticeAnswerer(Answer{button}, shot) {}
    NoticeAnswerer(Answer answer, const wchar_t* shot)
        : thread_([this, answer, shot] {
              // The check may take its time on a loaded machine: the notice is looked for until the
              // check has returned (a check that shows none), or for two minutes.
              for (int wait = 0; wait < 2400 && !stop_; ++wait) {
                  HWND notice = FindNotice();
                  if (!notice) {
                      Sleep(50);
                      continue;
                  }
                  Sleep(200);
                  goToShown = IsWindowVisible(GetDlgItem(notice, UpdateNotice::kGoToPage)) != FALSE;
                  wchar_t text[512] = {};
                  GetWindowTextW(FindWindowExW(notice, nullptr, L"Static", nullptr), text, 512);
                  shownText = text;
                  GetWindowTextW(GetDlgItem(notice, UpdateNotice::kGoToPage), text, 512);
                  goToText = text;
                  GetWindowTextW(GetDlgItem(notice, UpdateNotice::kLater), text, 512);
                  laterText = text;
                  if (shot) {
                      saved = SaveScreenshot(notice, shot);
                      std::vector<std::string> all = LayoutFaults(notice);
                      for (const std::string& fault : KeyboardFaults(notice))
                          all.push_back(fault);
                      faults = Joined(all);
                  }
                  shown = true;
                  if (answer.key)
                      PressKey(notice, answer.key);
                  else if (answer.button)
                      PostMessageW(notice, WM_COMMAND, MAKEWPARAM(answer.button, BN_CLICKED), 0);
                  // A button the notice does not offer does nothing: the user closes it then.
                  Sleep(300);
                  closedByAnswer = !IsWindow(notice);
                  if (!closedByAnswer)
                      PostMessageW(notice, WM_CLOSE, 0, 0);
                  return;
              }
          })
    {
    }
    ~NoticeAnswerer()
    {
        stop_ = true;
        Finish();
    }
    // Waits until the notice has been answered (or looked for in vain).
    void Finish()
    {
        if (thread_.joinable())
            thread_.join();
    }

    std::atomic<bool> shown{false};
    std::atomic<bool> goToShown{false};
    std::atomic<bool> saved{false};
    std::atomic<bool> closedByAnswer{false};  // before the close box was needed
    std::wstring shownText;
    std::wstring goToText, laterText;  // the captions of its two buttons
    std::string faults;  // what is wrong with the notice's layout and keys, with its screenshot

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

std::vector<std::wstring> g_opened;
bool RecordOpen(HWND, const std::wstring& target)
{
    g_opened.push_back(target);
    return true;
}

class UpdateCheckTest : public testing::Test {
protected:
    void SetUp() override
    {
        ini_.Open(folder_.File(L"Lumidex.ini"));
        g_Log.SetPath(folder_.File(L"log.txt"));
        savedServer_ = UpdateServer();
        UpdateServer() = UpdateServerAddress{L"127.0.0.1", server_.Port()};
        savedSeams_ = ActiveUiSeams();
        ActiveUiSeams().shellOpen = &RecordOpen;
        g_opened.clear();
    }
    void TearDown() override
    {
        UpdateServer() = savedServer_;
        ActiveUiSeams() = savedSeams_;
        g_Log.SetPath(L"");
    }
    // A start of the program at this time, and the seconds until its check was over. The
    // owner's thread goes on with its messages, as the main window's does: the answer and the
    // notice come through them.
    double Start(std::int64_t now)
    {
        const auto started = std::chrono::steady_clock::now();
        UpdateCheck check(&ini_);
        check.StartAt(kCaption, L"1.1.7", owner_.get(), now);
        while (check.Running())
            PumpMessages(20);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    }
    int LastDay() const { return ini_.GetInt(L"VERSION", L"last_day", 0); }
    // The check draws the first notice's delay from the runtime's generator: seeded here, the
    // draw is known before it is made.
    int SeedFirstDelay(unsigned seed)
    {
        std::srand(seed);
        const int days = std::rand() % 14;
        std::srand(seed);
        return days;
    }
    // A seed whose first draw gives this delay in days.
    unsigned SeedFor(int days)
    {
        for (unsigned seed = 1;; ++seed) {
            if (SeedFirstDelay(seed) == days)
                return seed;
        }
    }
    void ReadyToNotify(const std::wstring& version = kVersionFile)
    {
        EXPECT_TRUE(ini_.SetString(L"VERSION", L"next_version", version.c_str()));
        EXPECT_TRUE(ini_.SetString(L"VERSION", L"next_notify", L"00000000:00000001"));
    }

    TempFolder folder_;
    SettingsStore ini_;
    LoopbackHttpServer server_;
    TestWindow owner_{200, 200, 640, 480, L"Kasumiro"};
    UpdateServerAddress savedServer_;
    UiSeams savedSeams_;
};

TEST_F(UpdateCheckTest, OnceADayByTheDayOfTheMonthAndNeverWhenSwitchedOff)
{
    server_.Answer(LoopbackHttpServer::Ok("1.1.6.0\r\nhttps://kasumiro.jp/download/\r\n"));
    EXPECT_TRUE(ini_.SetInt(L"VERSION", L"notify", 1));
    Start(LocalSeconds(2026, 1, 5));
    EXPECT_EQ(server_.Requests(), 0);

    EXPECT_TRUE(ini_.SetInt(L"VERSION", L"notify", 0));
    Start(LocalSeconds(2026, 1, 5, 9));
    EXPECT_EQ(server_.Requests(), 1);
    EXPECT_EQ(LastDay(), 5);  // an older version on the server: checked for today
    Start(LocalSeconds(2026, 1, 5, 18));
    EXPECT_EQ(server_.Requests(), 1);
    // Only the day of the month counts: 5 February passes for 5 January.
    Start(LocalSeconds(2026, 2, 5));
    EXPECT_EQ(server_.Requests(), 1);
    Start(LocalSeconds(2026, 2, 6));
    EXPECT_EQ(server_.Requests(), 2);
    EXPECT_EQ(LastDay(), 6);

    // What the server was asked: the version file, fetched fresh.
    const std::string request = server_.LastRequest();
    EXPECT_EQ(request.rfind("GET /Lumidex/Version.txt HTTP/1.1\r\n", 0), 0u) << request;
    EXPECT_NE(request.find("User-Agent: Microsoft Internet"), std::string::npos) << request;
}

TEST_F(UpdateCheckTest, ANewVersionIsFirstAnnouncedAfterARandomDelayAcrossTheYearsEnd)
{
    server_.Answer(LoopbackHttpServer::Ok(kNewer));
    const int days = SeedFirstDelay(SeedFor(3));
    ASSERT_EQ(days, 3);
    const std::int64_t sighted = LocalSeconds(2025, 12, 30);
    Start(sighted);  // recorded, not shown yet
    EXPECT_EQ(ini_.GetString(L"VERSION", L"next_version", L""), kVersionFile);
    EXPECT_EQ(static_cast<std::int64_t>(ini_.GetHex64(L"VERSION", L"next_notify", 0, 0)), sighted + 3 * 86400);
    EXPECT_EQ(LastDay(), 30);
    Start(LocalSeconds(2025, 12, 31));  // still before the notice's time
    EXPECT_EQ(LastDay(), 31);
    EXPECT_EQ(server_.Requests(), 2);

    // On 2 January the time has come: the notice, and "later" keeps it away for the day.
    {
        NoticeAnswerer user(UpdateNotice::kLater, L"update_notice");
        Start(LocalSeconds(2026, 1, 2, 13));
        ASSERT_TRUE(user.shown);
        EXPECT_TRUE(user.goToShown);
        EXPECT_TRUE(user.saved);
        EXPECT_EQ(user.faults, "");
        EXPECT_EQ(user.shownText, L"最新のバージョン1.1.8.0が公開されています。\r\nサイトへ移動しますか？\r\n\r\n"
                                  L"　（現在インストールされているバージョンは1.1.7です。）\r\n");
        EXPECT_EQ(user.goToText, L"　サイトへ移動する　");
        EXPECT_EQ(user.laterText, L"後日通知する　");
    }
    EXPECT_EQ(LastDay(), 2);
    EXPECT_EQ(ini_.GetString(L"VERSION", L"next_version", L""), kVersionFile);  // the same version: no new delay
    Start(LocalSeconds(2026, 1, 2, 18));
    EXPECT_EQ(server_.Requests(), 3);
    EXPECT_TRUE(g_opened.empty());
}

// Enter presses the default button, 「サイトへ移動する」; Esc closes the notice as its close box does.
TEST_F(UpdateCheckTest, ANoDelayDrawShowsAtOnceAndEnterGoesToThePage)
{
    server_.Answer(LoopbackHttpServer::Ok(kNewer));
    SeedFirstDelay(SeedFor(0));
    {
        NoticeAnswerer user(Answer{0, VK_RETURN}, nullptr);
        Start(LocalSeconds(2026, 3, 1));
        EXPECT_TRUE(user.shown);
    }
    EXPECT_EQ(g_opened, (std::vector<std::wstring>{L"https://kasumiro.jp/download/"}));
    // Going to the page is no answer for the day: the next start asks again.
    EXPECT_EQ(LastDay(), 0);
    for (const Answer closing : {Answer{}, Answer{0, VK_ESCAPE}}) {
        NoticeAnswerer user(closing, nullptr);
        Start(LocalSeconds(2026, 3, 1, 15));
        user.Finish();
        EXPECT_TRUE(user.shown);
        EXPECT_EQ(user.closedByAnswer.load(), closing.key == VK_ESCAPE);
        EXPECT_EQ(LastDay(), 0);
    }
    EXPECT_EQ(g_opened.size(), 1u);
    EXPECT_EQ(server_.Requests(), 3);
}

TEST_F(UpdateCheckTest, OnADevelopersMachineTheGoToButtonOpensNothing)
{
    server_.Answer(LoopbackHttpServer::Ok(kNewer));
    ReadyToNotify();
    ASSERT_TRUE(WriteBytes(L"c:\\MyHome.txt", Bytes{'d'}));
    {
        NoticeAnswerer user(UpdateNotice::kGoToPage);
        Start(LocalSeconds(2026, 3, 2));
        EXPECT_TRUE(user.shown);
    }
    DeleteFileW(L"c:\\MyHome.txt");
    EXPECT_TRUE(g_opened.empty());
}

TEST_F(UpdateCheckTest, ForceShowsEvenAnOlderVersionAndAnErrorPageIsNoVersion)
{
    server_.Answer(LoopbackHttpServer::Ok("1.1.6.0\r\nhttps://kasumiro.jp/download/\r\n"));
    EXPECT_TRUE(ini_.SetInt(L"VERSION", L"force", 1));
    EXPECT_TRUE(ini_.SetInt(L"VERSION", L"last_day", 9));
    for (int start = 0; start < 2; ++start) {
        NoticeAnswerer user(UpdateNotice::kLater);
        Start(LocalSeconds(2026, 4, 9));
        EXPECT_TRUE(user.shown);
        EXPECT_NE(user.shownText.find(L"1.1.6.0"), std::wstring::npos);
    }

    EXPECT_TRUE(ini_.SetInt(L"VERSION", L"force", 0));
    server_.Answer("HTTP/1.1 404 Not Found\r\nContent-Length: 22\r\nConnection: close\r\n\r\n<html>not found</html>");
    Start(LocalSeconds(2026, 4, 10));
    EXPECT_EQ(LastDay(), 10);
    EXPECT_EQ(ini_.GetString(L"VERSION", L"next_version", L"none"), L"none");
}

TEST_F(UpdateCheckTest, HostileBodiesOpenNothingAndShowNoWayToThem)
{
    struct Case {
        std::string body;
        bool notice;  // a newer version named, with no page of ours
    };
    const Case cases[] = {
        {"", false},
        {"1", false},
        {"1.1.8.0", true},
        {"1.1.8.0\r\nhttps://evil.example/kasumiro.exe\r\n", true},
        {"1.1.8.0\r\nhttps://kasumiro.jp.evil.example/\r\n", true},
        {"1.1.8.0\r\nfile:///C:/Windows/System32/calc.exe\r\n", true},
        {"1.1.8.0\r\nC:\\Windows\\notepad.exe\r\n", true},
        {"1.1.8.0\r\nhttps://kasumiro.jp/\x81\xAA\r\n", true},
        {std::string("\x81\x82\x83\x84\x85\x86\x87\r\nhttps://kasumiro.jp/\r\n"), false},
        {std::string("1.1\0.8.0\r\nhttps://kasumiro.jp/\r\n", 30), false},
    };
    int day = 1;
    for (const Case& c : cases) {
        ReadyToNotify();
        EXPECT_TRUE(ini_.SetInt(L"VERSION", L"last_day", 0));
        server_.Answer(LoopbackHttpServer::Ok(c.body));
        NoticeAnswerer user(UpdateNotice::kGoToPage);
        Start(LocalSeconds(2026, 5, static_cast<WORD>(day)));
        EXPECT_EQ(user.shown.load(), c.notice) << c.body;
        EXPECT_FALSE(user.goToShown) << c.body;
        EXPECT_EQ(LastDay(), c.notice ? 0 : day) << c.body;  // a closed notice is no answer for the day
        ++day;
    }
    // Ten megabytes is no version file: the check ends as if nothing had come.
    EXPECT_TRUE(ini_.SetInt(L"VERSION", L"last_day", 0));
    server_.Answer(LoopbackHttpServer::Ok(std::string(10 << 20, '7')));
    Start(LocalSeconds(2026, 5, 20));
    EXPECT_EQ(LastDay(), 0);
    EXPECT_TRUE(g_opened.empty());
}

// Whatever the server does, the check is over by its deadline and shows no notice: it sends
// its answer one byte at a time (each just before the client would give up waiting), never
// answers, or sends the check to another host. A redirect within the update host is followed.
TEST_F(UpdateCheckTest, ASlowSilentOrRedirectingServerGivesNoNoticeAndTakesNoLongerThanTheDeadline)
{
    LoopbackHttpServer target;  // where the redirects lead
    target.Answer(LoopbackHttpServer::Ok(kNewer));
    const std::string version = LoopbackHttpServer::Ok(kNewer);
    auto redirect = [&](const std::string& host) {
        return "HTTP/1.1 302 Found\r\nLocation: http://" + host + ":" + std::to_string(target.Port()) +
               "/Lumidex/Version.txt\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    };
    enum Behaviour { kDripsHeaders, kDripsBody, kNeverAnswers, kLeavesTheHost, kStaysOnTheHost };
    for (const Behaviour behaviour : {kDripsHeaders, kDripsBody, kNeverAnswers, kLeavesTheHost, kStaysOnTheHost}) {
        // A server of its own for each: one that drips or hangs answers no one else.
        LoopbackHttpServer server;
        UpdateServer().port = server.Port();
        if (behaviour == kDripsHeaders)
            server.Drip(version, 0, 2900);
        else if (behaviour == kDripsBody)
            server.Drip(version, version.size() - kNewer.size(), 2900);
        else if (behaviour == kNeverAnswers)
            server.Hang();
        else  // "localhost" is another name, though the same loopback address: the check never asks it
            server.Answer(redirect(behaviour == kLeavesTheHost ? "localhost" : "127.0.0.1"));
        ReadyToNotify();
        NoticeAnswerer user(UpdateNotice::kLater);
        const double seconds = Start(LocalSeconds(2026, 6, 1));
        EXPECT_EQ(user.shown.load(), behaviour == kStaysOnTheHost) << behaviour;
        if (behaviour != kStaysOnTheHost) {
            EXPECT_LT(seconds, UpdateCheck::kDeadlineMs / 1000.0 + 3) << behaviour;
            EXPECT_EQ(LastDay(), 0) << behaviour;  // the next start tries again
        }
        EXPECT_EQ(server.Requests(), 1) << behaviour;
    }
    EXPECT_EQ(target.Requests(), 1);  // only by the redirect within the host
    EXPECT_NE(ReadUtf16Text(folder_.File(L"log.txt")).find(L"localhost"), std::wstring::npos);

    // The window may close while the check still waits on such a server: the check lets go of
    // the exchange at once, and leaves its worker to end by itself.
    LoopbackHttpServer server;
    UpdateServer().port = server.Port();
    server.Drip(version, version.size() - kNewer.size(), 2900);
    const auto started = std::chrono::steady_clock::now();
    {
        UpdateCheck check(&ini_);
        check.StartAt(kCaption, L"1.1.7", owner_.get(), LocalSeconds(2026, 6, 2));
        for (int wait = 0; wait < 500 && server.Requests() == 0; ++wait)
            PumpMessages(20);
        ASSERT_TRUE(check.Running());
    }
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(),
              UpdateCheck::kDeadlineMs / 1000.0 + 3);
    EXPECT_EQ(server.Requests(), 1);
}

TEST(VersionFileTest, VersionsCompareAsTextAndBodiesAreReadByTheBytes)
{
    EXPECT_TRUE(UpdateCheck::IsOlder(L"1.1.7", L"1.1.8.0"));
    EXPECT_TRUE(UpdateCheck::IsOlder(L"1.1.7", L"1.1.7.0"));  // a proper prefix is older
    EXPECT_TRUE(UpdateCheck::IsOlder(L"0.0.0.0", L"1.1.7"));
    EXPECT_FALSE(UpdateCheck::IsOlder(L"1.1.7", L"1.1.7"));

    VersionFile file = UpdateCheck::ParseBody("1.2.0.0\r\nhttps://KASUMIRO.JP/download/1.2\r\n");
    EXPECT_EQ(file.latest, L"1.2.0.0");
    EXPECT_EQ(file.address, L"https://KASUMIRO.JP/download/1.2");
    EXPECT_EQ(UpdateCheck::ParseBody("<!DOCTYPE html>").latest, L"0.0.0.0");
    EXPECT_EQ(UpdateCheck::ParseBody("1.2.0.0\r\n").address, L"");  // shorter than 11 bytes: no address
    EXPECT_EQ(UpdateCheck::ParseBody("1.2.0.0\r\nx\r\n").address, L"");
    EXPECT_TRUE(UpdateCheck::IsOurPage(L"https://kasumiro.jp"));
    EXPECT_FALSE(UpdateCheck::IsOurPage(L"http://kasumiro.jp/"));
    EXPECT_FALSE(UpdateCheck::IsOurPage(L"https://kasumiro.jp@evil.example/"));
    EXPECT_FALSE(UpdateCheck::IsOurPage(L"https://kasumiro.jp/a b"));
}

TEST(InetHttpTest, BodiesWithAndWithoutALengthAndAServerThatIsNotThere)
{
    TempFolder folder;
    g_Log.SetPath(folder.File(L"log.txt"));
    LoopbackHttpServer server;
    const std::string megabyte(HttpClient::kReadChunkBytes, 'k');
    server.Answer(LoopbackHttpServer::Ok(megabyte, false));
    {
        HttpClient http;
        ASSERT_TRUE(http.Open(UpdateCheck::kAgent, 3000));
        ASSERT_NE(http.Connect(L"127.0.0.1", server.Port()), nullptr);
        ASSERT_EQ(http.Get(L"/any"), 1);
        EXPECT_EQ(http.StatusCode(), 200u);
        EXPECT_EQ(http.ContentLength(), -1);
        ASSERT_EQ(http.Read(-1), static_cast<std::int32_t>(megabyte.size()));
        EXPECT_EQ(std::string(http.Response()), megabyte);
        // A second connection replaces the first.
        EXPECT_NE(http.Connect(L"127.0.0.1", server.Port()), nullptr);
    }
    server.Answer(LoopbackHttpServer::Ok("1.1.8.0\r\n"));
    {
        HttpClient http;
        ASSERT_TRUE(http.Open(UpdateCheck::kAgent, 3000));
        http.Connect(L"127.0.0.1", server.Port());
        ASSERT_EQ(http.Get(L"/Lumidex/Version.txt"), 1);
        EXPECT_EQ(http.ContentLength(), 9);
        EXPECT_EQ(http.Read(9), 9);
        EXPECT_STREQ(http.Response(), "1.1.8.0\r\n");
    }
    {
        HttpClient http;
        ASSERT_TRUE(http.Open(UpdateCheck::kAgent, 3000));
        http.Connect(L"127.0.0.1", 9);  // nothing listens on the discard port here
        EXPECT_EQ(http.Get(L"/"), 0);
        EXPECT_EQ(http.Response(), nullptr);
    }
    g_Log.SetPath(L"");
    const std::wstring log = ReadUtf16Text(folder.File(L"log.txt"));
    EXPECT_EQ(CountOf(log, L"HttpSendRequest()エラー = 0x"), 1u) << log;
}

}  // namespace
