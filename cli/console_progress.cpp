#include "cli/console_progress.h"


#include "cli/console_stop.h"
#include "cli/console_writer.h"

namespace {
constexpr int kBarWidth = 30;
constexpr ULONGLONG kRedrawMs = 100;
constexpr std::size_t kPaceWidth = 24;
}

ConsoleProgress::ConsoleProgress() : enabled_(StdErr().IsConsole())
{
    pace_.Start(GetTickCount64(), 0);
}

ConsoleProgress::~ConsoleProgress()
{
    Finish();
}

void ConsoleProgress::AddProgress(std::uint64_t amount)
{
    done_ += amount;
    Draw(done_ == total_);
}

bool ConsoleProgress::StopRequested() const
{
    return ConsoleStopHandler::StopRequested();
}

void ConsoleProgress::SetTotal(std::uint64_t total)
{
    total_ = total;
    pace_.Start(GetTickCount64(), done_);
}

void ConsoleProgress::Reset()
{
    done_ = 0;
    total_ = 0;
    pace_.Start(GetTickCount64(), 0);
    Draw(false);
}

void ConsoleProgress::SetCaption(const std::wstring& caption)
{
    caption_ = caption;
    Draw(false);
}

void ConsoleProgress::Draw(bool force)
{
    if (!enabled_)
        return;
    const ULONGLONG now = GetTickCount64();
    if (!force && drawn_ && now - lastDraw_ < kRedrawMs)
        return;
    lastDraw_ = now;
    drawn_ = true;
    const int filled = total_ ? static_cast<int>(done_ * kBarWidth / total_) : 0;
    std::wstring line = L"\r[" + std::wstring(static_cast<size_t>(filled), L'#') +
                        std::wstring(static_cast<size_t>(kBarWidth - filled), L'.') + L"] " + caption_;
    // The pace, and blanks over what a longer line drawn before left.
    const std::wstring pace = total_ > done_ ? pace_.Text(now, done_, total_) : std::wstring();
    line += L"  " + pace + std::wstring(pace.size() < kPaceWidth ? kPaceWidth - pace.size() : 0, L' ');
    StdErr().Write(line);
}

void ConsoleProgress::Finish()
{
    if (drawn_) {
        StdErr().Write(L"\n");
        drawn_ = false;
    }
}
