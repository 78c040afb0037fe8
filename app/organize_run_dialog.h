#pragma once
// The progress dialog of an organize run: the run and then the album on its worker, the bar
// and the caption "写真の整理中( i / N )" in the window.

#include <string>
#include <vector>

#include "organize/organize_run.h"
#include "organize/organize_settings.h"
#include "organize/run_report.h"
#include "ui/progress_dialog.h"

class OrganizeRunDialog : public ProgressDialog {
public:
    // All four stay the caller's and must outlive the dialog; the worker only reads the first
    // three, and tells `report` of every file the run handles.
    OrganizeRunDialog(const OrganizeSettings* settings, const std::vector<std::wstring>* inputFolders,
                      const std::wstring* outputFolder, RunReportSink* report);
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
    RunReportSink* report_;
    OrganizeResult result_;
};
