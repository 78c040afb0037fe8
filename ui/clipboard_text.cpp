#include "ui/clipboard_text.h"

#include <cstring>

#include "base/handles.h"

namespace {

// The clipboard opened by this thread for as long as it lives.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~OpenedClipboard()
    {
        if (open_)
            CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool IsOpen() const { return open_; }

private:
    bool open_;
};

}  // namespace

bool PutTextOnClipboard(HWND owner, const std::wstring& text)
{
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    UniqueGlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory)
        return false;
    void* locked = GlobalLock(memory.get());
    if (!locked)
        return false;
    std::memcpy(locked, text.c_str(), bytes);
    GlobalUnlock(memory.get());
    const OpenedClipboard clipboard(owner);
    if (!clipboard.IsOpen() || !EmptyClipboard())
        return false;
    if (!SetClipboardData(CF_UNICODETEXT, memory.get()))
        return false;
    // The clipboard owns the memory from here.
    memory.release();
    return true;
}
