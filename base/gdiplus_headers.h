#pragma once
// GDI+ under NOMINMAX (its headers call min and max unqualified), and its start and end.

#include <windows.h>
#include <objidl.h>

#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>

// GDI+ for as long as it lives; shut down only when it started.
class GdiplusSession_CL {
public:
    GdiplusSession_CL()
    {
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok)
            token_ = 0;
    }
    ~GdiplusSession_CL()
    {
        if (token_)
            Gdiplus::GdiplusShutdown(token_);
    }
    GdiplusSession_CL(const GdiplusSession_CL&) = delete;
    GdiplusSession_CL& operator=(const GdiplusSession_CL&) = delete;
    bool Started() const { return token_ != 0; }

private:
    ULONG_PTR token_ = 0;
};
