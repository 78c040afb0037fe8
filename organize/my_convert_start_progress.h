#pragma once
// The progress dialog of an organize run: the run on its worker, the bar and the caption
// "写真の整理中( i / N )" in the window.

#include <string>
#include <vector>

#include "ui/easy_progress.h"

class MyConvertStartProgress_CL : public EasyProgress_CL {
public:
    // Both stay the caller's and must outlive the dialog.
    MyConvertStartProgress_CL(const std::vector<std::wstring>* inputFolders, const std::wstring* outputFolder);
    ~MyConvertStartProgress_CL() override;

protected:
    void Run(std::int32_t first, std::int32_t second) override;
    void OnFinished(std::int32_t stopRequested) override;

private:
    const std::vector<std::wstring>* inputFolders_;
    const std::wstring* outputFolder_;
};
