#include "app/my_convert_start_progress.h"

#include "album/album_build.h"

MyConvertStartProgress_CL::MyConvertStartProgress_CL(const OrganizeSettings* settings,
                                                     const std::vector<std::wstring>* inputFolders,
                                                     const std::wstring* outputFolder)
    : settings_(settings), inputFolders_(inputFolders), outputFolder_(outputFolder)
{
}

MyConvertStartProgress_CL::~MyConvertStartProgress_CL()
{
    EasyThreadBase_CL::Join();
}

void MyConvertStartProgress_CL::Run(std::int32_t, std::int32_t)
{
    // Stays a failure when the run ends by an exception, which the worker's barrier logs.
    result_.status = kStatusFail;
    result_ = RunOrganize(*settings_, *this, *inputFolders_, *outputFolder_);
    if (result_.status == kStatusOk && settings_->MakePhotoHtml)
        result_.status = BuildPhotoAlbum(*this, *outputFolder_, settings_->MakePhotoHtmlIncludeNoPreview != 0);
}

void MyConvertStartProgress_CL::OnFinished(std::int32_t)
{
    if (Window())
        PostMessageW(Window(), WM_CLOSE, 0, 0);
}
