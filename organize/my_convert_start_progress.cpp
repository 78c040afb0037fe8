#include "organize/my_convert_start_progress.h"

#include "organize/organize_run.h"

MyConvertStartProgress_CL::MyConvertStartProgress_CL(const std::vector<std::wstring>* inputFolders,
                                                     const std::wstring* outputFolder)
    : inputFolders_(inputFolders), outputFolder_(outputFolder)
{
}

MyConvertStartProgress_CL::~MyConvertStartProgress_CL()
{
    EasyThreadBase_CL::Join();
}

void MyConvertStartProgress_CL::Run(std::int32_t, std::int32_t)
{
    // The outcome has been shown by the run itself where the user needs to know it.
    RunOrganize(*this, *inputFolders_, *outputFolder_);
}

void MyConvertStartProgress_CL::OnFinished(std::int32_t)
{
    if (Window())
        PostMessageW(Window(), WM_CLOSE, 0, 0);
}
