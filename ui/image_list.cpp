#include "ui/image_list.h"

ImageList_CL::~ImageList_CL()
{
    if (list_ && !shared_)
        ImageList_Destroy(list_);
}

bool ImageList_CL::LoadStrip(const std::wstring& path, int width, COLORREF transparent)
{
    HIMAGELIST loaded = ImageList_LoadImageW(nullptr, path.c_str(), width, 1, transparent, IMAGE_BITMAP,
                                             LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (!loaded)
        return false;
    if (list_ && !shared_)
        ImageList_Destroy(list_);
    list_ = loaded;
    return true;
}

bool ImageList_CL::IconSize(int* width, int* height) const
{
    return list_ && ImageList_GetIconSize(list_, width, height);
}
