#include "tests/support/modal_script.h"

namespace {

// Long enough for any sheet to come up, short enough that a stuck test ends.
constexpr int kGiveUpTicks = 150;
constexpr UINT kTickMs = 100;

ModalScript* g_script = nullptr;

// Closes every window of this thread that a modal loop may be waiting on.
void CloseEverything()
{
    EndMenu();
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM) -> BOOL {
            PostMessageW(window, WM_CLOSE, 0, 0);
            return TRUE;
        },
        0);
}

}  // namespace

ModalScript::ModalScript(std::vector<Step> steps) : steps_(std::move(steps))
{
    g_script = this;
    timer_ = SetTimer(nullptr, 0, kTickMs, &ModalScript::Tick);
}

ModalScript::~ModalScript()
{
    KillTimer(nullptr, timer_);
    g_script = nullptr;
}

void CALLBACK ModalScript::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (g_script)
        g_script->RunStep();
}

void ModalScript::RunStep()
{
    if (running_ || Finished())
        return;
    running_ = true;
    if (++ticks_ > kGiveUpTicks) {
        CloseEverything();
    } else if (steps_[next_]()) {
        ++next_;
    }
    running_ = false;
}

HWND FindThreadWindow(const std::wstring& title)
{
    struct Search {
        const std::wstring* title;
        HWND found;
    } search{&title, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            wchar_t text[128] = {};
            GetWindowTextW(window, text, 128);
            if (!IsWindowVisible(window) || *s->title != text)
                return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}
