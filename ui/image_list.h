#pragma once
// An image list, destroyed with its object unless it is shared with a control that owns it.

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "base/handles.h"

class ImageList {
public:
    ImageList() = default;
    ~ImageList();
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;

    // A strip of images `width` pixels wide from a bitmap file; `transparent` is the colour
    // that is left out. False when the file cannot be loaded.
    bool LoadStrip(const std::wstring& path, int width, COLORREF transparent);
    // A shared list belongs to the control it was given to, which destroys it.
    void SetShared(bool shared) { shared_ = shared; }

    HIMAGELIST Handle() const { return list_.get(); }
    bool IconSize(int* width, int* height) const;

private:
    bool shared_ = false;
    UniqueImageList list_;
};
