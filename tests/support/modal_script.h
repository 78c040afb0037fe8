#pragma once
// Drives the modal windows of this thread (a property sheet, a dialog it opens, a menu) the
// way a user would, from a thread timer that their modal loops keep running: each step is
// tried on every tick until it says it is done, then the next. A step that opens another
// modal window posts the command that does it, so that its tick returns first.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

class ModalScript {
public:
    using Step = std::function<bool()>;
    explicit ModalScript(std::vector<Step> steps);
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    // True when every step ran; false when the script gave up (and closed what was open).
    bool Finished() const { return next_ == steps_.size(); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void RunStep();

    std::vector<Step> steps_;
    size_t next_ = 0;
    int ticks_ = 0;
    bool running_ = false;
    UINT_PTR timer_ = 0;
};

// A visible top-level window of this thread with this title; null when there is none.
HWND FindThreadWindow(const std::wstring& title);
