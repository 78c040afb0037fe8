#pragma once
// Failures travel as signed 32-bit status codes in HRESULT form, as a type of their own: a
// status is never taken for a number of anything else, and none that a call returns is
// dropped unseen (the compiler says so; a caller for whom a failure changes nothing writes
// (void) and why).

#include <windows.h>

#include <cstdint>
#include <string>

enum class [[nodiscard]] StatusCode : std::int32_t {};

constexpr StatusCode kStatusOk{0};
constexpr StatusCode kStatusFail = static_cast<StatusCode>(0x80004005);

// The system error e as (e AND 0xFFFF) OR 0x80070000; no error is success.
constexpr StatusCode StatusFromWin32(DWORD error)
{
    if (error == 0)
        return kStatusOk;
    return static_cast<StatusCode>((error & 0xFFFFu) | 0x80070000u);
}

// The calling thread's last error as a status code; a failure that left no error code
// still counts as a failure.
inline StatusCode StatusFromLastError()
{
    const DWORD error = GetLastError();
    return error == 0 ? kStatusFail : StatusFromWin32(error);
}

// "0x" and the code's eight hex digits, as the user and the log read a status code.
std::wstring HexStatus(StatusCode status);
// The system's text for a status code, on one line; empty when it has none.
std::wstring SystemMessageText(StatusCode status);
