#pragma once
// The progress dialog of an organize run: the run and then the album on its worker, the bar
// and the caption "写真の整理中( i / N )" in the window.

#include <string>
#include <vector>

#include "organize/organize_run.h"
#include "organize/organize_settings.h"
#include "ui/progress_dialog.h"

class OrganizeRunDialog : public ProgressDialog {
public:
    // All three stay the caller's and must outlive the dialog; the worker only reads them.
    OrganizeRunDialog(const OrganizeSettings* settings, const std::vector<std::wstring>* inputFolders,
                      const std::wstring* outputFolder);
    ~OrganizeRunDialog() override;

    // What the run came to; read once the dialog has closed.
    const OrganizeResult& Result() const { return result_; }

protected:
    void Run() override;
    void OnFinished(bool stopRequested) override;

private:
    const OrganizeSettings* settings_;
    const std::vector<std::wstring>* inputFolders_;
    const std::wstring* outputFolder_;
    OrganizeResult result_;
};
