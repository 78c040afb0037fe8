#include "cli/console_progress.h"

#include <cwchar>

#include "cli/console_stop.h"
#include "cli/console_writer.h"

namespace {
constexpr int kBarWidth = 30;
constexpr ULONGLONG kRedrawMs = 100;
}

ConsoleProgress::ConsoleProgress() : enabled_(StdErr().IsConsole()), started_(GetTickCount64()) {}

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

void ConsoleProgress::Reset()
{
    done_ = 0;
    total_ = 0;
    started_ = GetTickCount64();
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
    if (done_ > 0 && total_ > done_) {
        const ULONGLONG left = (now - started_) * (total_ - done_) / done_ / 1000;
        wchar_t eta[48];
        std::swprintf(eta, 48, L"  残り %02llu:%02llu ", left / 60, left % 60);
        line += eta;
    } else {
        line += L"            ";
    }
    StdErr().Write(line);
}

void ConsoleProgress::Finish()
{
    if (drawn_) {
        StdErr().Write(L"\n");
        drawn_ = false;
    }
}
