#include "tests/support/screenshot.h"


#include <memory>
#include <vector>

#include "app/app_paths.h"
#include "ui/gdiplus_headers.h"
#include "ui/handles.h"

ScopedGdiplus::ScopedGdiplus()
{
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token_, &input, nullptr);
}

ScopedGdiplus::~ScopedGdiplus()
{
    if (token_)
        Gdiplus::GdiplusShutdown(token_);
}

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
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    UniqueHGdiObj_CL bitmap(CreateCompatibleBitmap(screen, width, height));
    const HGDIOBJ previous = SelectObject(memory, bitmap.get());
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    CLSID png{};
    if (!PngEncoder(&png))
        return false;
    CreateDirectoryW(ScreenshotFolder().c_str(), nullptr);
    Gdiplus::Bitmap image(static_cast<HBITMAP>(bitmap.get()), nullptr);
    const std::wstring path = ScreenshotFolder() + L"\\" + name + L".png";
    return image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
}
