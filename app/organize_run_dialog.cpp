#include "app/organize_run_dialog.h"

#include "run/organize_and_build_album.h"

OrganizeRunDialog::OrganizeRunDialog(const OrganizeSettings* settings, const std::vector<std::wstring>* inputFolders,
                                     const std::wstring* outputFolder, RunReportSink* report)
    : settings_(settings), inputFolders_(inputFolders), outputFolder_(outputFolder), report_(report)
{
    // Stays so when the worker never runs, or ends by an exception (which its barrier logs).
    result_.status = kStatusFail;
    result_.failedStage = OrganizeResult::kUnfinished;
}

OrganizeRunDialog::~OrganizeRunDialog()
{
    WorkerThread::Join();
}

void OrganizeRunDialog::Run()
{
    result_ = OrganizeAndBuildAlbum(*settings_, *this, *inputFolders_, *outputFolder_, report_);
}

void OrganizeRunDialog::OnFinished(bool)
{
    if (Window())
        PostMessageW(Window(), WM_CLOSE, 0, 0);
}
