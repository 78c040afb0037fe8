#pragma once
// An image list, destroyed with its object unless it is shared with a control that owns it.

#include <windows.h>
#include <commctrl.h>

#include <string>

class ImageList_CL {
public:
    ImageList_CL() = default;
    ~ImageList_CL();
    ImageList_CL(const ImageList_CL&) = delete;
    ImageList_CL& operator=(const ImageList_CL&) = delete;

    // A strip of images `width` pixels wide from a bitmap file; `transparent` is the colour
    // that is left out. False when the file cannot be loaded.
    bool LoadStrip(const std::wstring& path, int width, COLORREF transparent);
    void SetShared(bool shared) { shared_ = shared; }

    HIMAGELIST Handle() const { return list_; }
    bool IconSize(int* width, int* height) const;

private:
    bool shared_ = false;
    HIMAGELIST list_ = nullptr;
};
