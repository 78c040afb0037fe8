#include "tests/support/screenshot.h"


#include <memory>
#include <vector>

#include "base/paths.h"
#include "base/gdiplus_headers.h"
#include "base/handles.h"
#include "ui/dpi_scaling.h"

namespace {

bool PngEncoder(CLSID* clsid)
{
    UINT count = 0, bytes = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0)
        return false;
    std::vector<std::uint8_t> buffer(bytes);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(count, bytes, encoders) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(encoders[i].MimeType, L"image/png") == 0) {
            *clsid = encoders[i].Clsid;
            return true;
        }
    }
    return false;
}

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

}  // namespace

std::wstring ScreenshotFolder()
{
    return FolderOfPath(GetExeFolder()) + L"\\screenshots";
}

bool SaveScreenshot(HWND window, const std::wstring& name)
{
    const OnTopForAMoment onTop(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(150);  // the X server shows what was drawn
    RECT rect{};
    if (!GetWindowRect(window, &rect) || rect.right <= rect.left || rect.bottom <= rect.top)
        return false;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    UniqueGdiObject bitmap;
    {
        const WindowDc screen;
        const UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
        bitmap.reset(CreateCompatibleBitmap(screen.get(), width, height));
        const SelectedObject selected(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY);
    }

    CLSID png{};
    if (!PngEncoder(&png))
        return false;
    CreateDirectoryW(ScreenshotFolder().c_str(), nullptr);
    Gdiplus::Bitmap image(static_cast<HBITMAP>(bitmap.get()), nullptr);
    // The same window at another DPI is a picture of its own.
    const UINT dpi = WindowDpi(window);
    const std::wstring suffix = dpi == kDesignDpi ? L"" : L"_" + std::to_wstring(dpi) + L"dpi";
    const std::wstring path = ScreenshotFolder() + L"\\" + name + suffix + L".png";
    return image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}
