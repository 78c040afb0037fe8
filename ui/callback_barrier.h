#pragma once
// Every procedure we hand to the system (dialog, subclass, thread, sheet, browse and
// enumeration callbacks) runs its body behind this barrier. An exception must never unwind
// through the system's frames, which know nothing of it: it is logged here, and the callback
// gives the system the plain answer that ends the message or the operation.

#include <exception>

// One log line naming the callback and what was thrown (null: not a std::exception).
void LogCallbackException(const wchar_t* callback, const char* what) noexcept;

template <typename Result, typename Body>
Result CallbackBarrier(const wchar_t* callback, Result fallback, Body&& body) noexcept
{
    try {
        return body();
    } catch (const std::exception& error) {
        LogCallbackException(callback, error.what());
    } catch (...) {
        LogCallbackException(callback, nullptr);
    }
    return fallback;
}
