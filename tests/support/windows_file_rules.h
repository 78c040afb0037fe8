#pragma once
// Two rules of Windows' file functions, brought to the tests, where the compatibility layer the
// tests run on (as root) keeps neither:
// - a path of 260 characters or more (248 for a new folder) is refused unless it is written in
//   its "\\?\" form;
// - a read-only file cannot be opened to be written, nor removed, nor replaced.
// While a WindowsFileRules lives, the file functions this test program calls keep both, so that
// a call that lost the long form, or that writes a protected photo's copy, fails here as it
// would on a user's machine.

#include <windows.h>

#include <vector>

class WindowsFileRules {
public:
    WindowsFileRules();
    ~WindowsFileRules();
    WindowsFileRules(const WindowsFileRules&) = delete;
    WindowsFileRules& operator=(const WindowsFileRules&) = delete;

    // How many calls were refused for their path's length since the rules were set.
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
