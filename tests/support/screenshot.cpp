#include "tests/support/screenshot.h"

#include <cstdint>
#include <cwchar>
#include <memory>
#include <vector>

#include "base/paths.h"
#include "base/gdiplus_headers.h"
#include "base/handles.h"
#include "ui/dpi_scaling.h"

namespace {

// Tests run side by side on one display: for its picture, a window goes on top of whatever
// windows the others show, and back among them after.
class OnTopForAMoment {
public:
    explicit OnTopForAMoment(HWND window) : window_(window) { Order(HWND_TOPMOST); }
    ~OnTopForAMoment() { Order(HWND_NOTOPMOST); }
    OnTopForAMoment(const OnTopForAMoment&) = delete;
    OnTopForAMoment& operator=(const OnTopForAMoment&) = delete;

private:
    void Order(HWND where) { SetWindowPos(window_, where, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE); }
    HWND window_;
};

// True when the bitmap holds more than one colour. A window that is not on the screen (hidden,
// moved off it, not yet painted) comes out as one flat colour, mostly black: a picture of
// nothing, which must not pass for the window.
bool ShowsSomething(HDC dc, HBITMAP bitmap, int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    if (GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS) != height)
        return false;
    for (const std::uint32_t pixel : pixels) {
        if ((pixel & 0xFFFFFF) != (pixels[0] & 0xFFFFFF))
            return true;
    }
    return false;
}

}  // namespace

bool ImageEncoder(const wchar_t* mimeType, CLSID* clsid)
{
    UINT count = 0, bytes = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0)
        return false;
    std::vector<std::uint8_t> buffer(bytes);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, bytes, encoders) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(encoders[i].MimeType, mimeType) == 0) {
            *clsid = encoders[i].Clsid;
            return true;
        }
    }
    return false;
}

std::wstring ScreenshotFolder()
{
    return FolderOfPath(GetExeFolder()) + L"\\screenshots";
}

bool SaveScreenshot(HWND window, const std::wstring& name)
{
    const OnTopForAMoment onTop(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(150);  // the X server shows what was drawn
    // What of the window is on the screen: a copy from beyond its edge fails as a whole under
    // Wine, and leaves the picture black.
    RECT windowRect{}, rect{};
    const RECT screenRect{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                           GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                           GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    if (!IsWindowVisible(window) || !GetWindowRect(window, &windowRect) ||
        !IntersectRect(&rect, &windowRect, &screenRect))
        return false;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    UniqueGdiObject bitmap;
    {
        const WindowDc screen;
        const UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
        bitmap.reset(CreateCompatibleBitmap(screen.get(), width, height));
        if (!bitmap)
            return false;
        {
            const SelectedObject selected(memory.get(), bitmap.get());
            if (!BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY))
                return false;
        }
        if (!ShowsSomething(memory.get(), static_cast<HBITMAP>(bitmap.get()), width, height))
            return false;
    }

    CLSID png{};
    if (!ImageEncoder(L"image/png", &png))
        return false;
    CreateDirectoryW(ScreenshotFolder().c_str(), nullptr);
    Gdiplus::Bitmap image(static_cast<HBITMAP>(bitmap.get()), nullptr);
    // The same window at another DPI is a picture of its own.
    const UINT dpi = WindowDpi(window);
    const std::wstring suffix = dpi == kDesignDpi ? L"" : L"_" + std::to_wstring(dpi) + L"dpi";
    const std::wstring path = ScreenshotFolder() + L"\\" + name + suffix + L".png";
    return image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}
