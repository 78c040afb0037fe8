#include "app/my_convert_start_progress.h"

#include "album/album_build.h"

MyConvertStartProgress_CL::MyConvertStartProgress_CL(const OrganizeSettings* settings,
                                                     const std::vector<std::wstring>* inputFolders,
                                                     const std::wstring* outputFolder)
    : settings_(settings), inputFolders_(inputFolders), outputFolder_(outputFolder)
{
    // Stays so when the worker never runs, or ends by an exception (which its barrier logs).
    result_.status = kStatusFail;
    result_.failedStage = OrganizeResult::kUnfinished;
}

MyConvertStartProgress_CL::~MyConvertStartProgress_CL()
{
    EasyThreadBase_CL::Join();
}

void MyConvertStartProgress_CL::Run(std::int32_t, std::int32_t)
{
    OrganizeResult result = RunOrganize(*settings_, *this, *inputFolders_, *outputFolder_);
    BuildAlbumAfterRun(*this, *outputFolder_, settings_->MakePhotoHtml != 0, settings_->MakePhotoHtmlIncludeNoPreview != 0,
                       &result, settings_->DateRules());
    result_ = result;
}

void MyConvertStartProgress_CL::OnFinished(std::int32_t)
{
    if (Window())
        PostMessageW(Window(), WM_CLOSE, 0, 0);
}
