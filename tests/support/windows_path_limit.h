#pragma once
// Windows' path limit, brought to the tests. The compatibility layer the tests run on takes a
// path of any length in its plain form, where Windows refuses a path of 260 characters or more
// (248 for a new folder) unless it is written in its "\\?\" form. While a WindowsPathLimit
// lives, the file functions this test program calls refuse such paths as Windows does, so that
// a call that lost the long form fails here as it would on a user's machine.

#include <windows.h>

#include <vector>

class WindowsPathLimit {
public:
    WindowsPathLimit();
    ~WindowsPathLimit();
    WindowsPathLimit(const WindowsPathLimit&) = delete;
    WindowsPathLimit& operator=(const WindowsPathLimit&) = delete;

    // How many calls were refused since the limit was set: a test that means to reach deep
    // paths checks that its paths were long enough to be refused in their plain form.
    static long RefusedCalls();
    // How many calls took a long path in its long form.
    static long LongFormCalls();

private:
    struct Patched {
        void** slot;
        void* original;
    };
    std::vector<Patched> patched_;
};
