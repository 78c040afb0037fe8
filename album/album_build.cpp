#include "album/album_build.h"

StatusCode BuildPhotoAlbum(ProgressSink_CL& /*progress*/, const std::wstring& /*outputFolder*/)
{
    return kStatusOk;
}
