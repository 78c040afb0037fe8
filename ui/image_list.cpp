#include "ui/image_list.h"

ImageList::~ImageList()
{
    if (shared_)
        list_.release();
}

bool ImageList::LoadStrip(const std::wstring& path, int width, COLORREF transparent)
{
    HIMAGELIST loaded = ImageList_LoadImageW(nullptr, path.c_str(), width, 1, transparent, IMAGE_BITMAP,
                                             LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (!loaded)
        return false;
    if (shared_)
        list_.release();
    list_.reset(loaded);
    return true;
}

bool ImageList::IconSize(int* width, int* height) const
{
    return list_ && ImageList_GetIconSize(list_.get(), width, height);
}
