#pragma once
// A run's world in a temporary folder: input folders, an output folder, settings and a log
// of their own, and message boxes answered by the test.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/organize/organize_test_files.h"
#include "tests/support/temp_folder.h"
#include "base/progress_sink.h"
#include "ui/ui_seams.h"

// Progress that remembers what the run told it.
class RecordingProgress : public ProgressSink {
public:
    void SetTotal(std::uint64_t total) override { total_ = total; }
    std::uint64_t Total() const override { return total_; }
    void AddProgress(std::uint64_t amount) override { done += amount; }
    void SetCaption(const std::wstring& caption) override { captions.push_back(caption); }
    bool StopRequested() const override { return false; }
    void Reset() override
    {
        done = 0;
        total_ = 0;
        ++resets;
    }
    void Trace(const std::wstring& line) override { traces.push_back(line); }

    std::uint64_t done = 0;
    int resets = 0;
    std::vector<std::wstring> traces;
    std::vector<std::wstring> captions;

private:
    std::uint64_t total_ = 0;
};

struct ShownBox {
    std::wstring caption;
    std::wstring text;
    UINT type;
    std::wstring button;  // a notice's button beside OK; empty for a message box
};

class OrganizeFixture : public testing::Test {
protected:
    TempFolder root_;
    std::wstring output_ = root_.File(L"out");
    std::wstring logPath_ = root_.File(L"log.txt");

    void SetUp() override;
    void TearDown() override;

    // A photo with this Exif date in an input folder.
    std::wstring Photo(const std::wstring& relative, const std::string& date, char filler = 'p');
    std::wstring Log() const;

    // Message boxes and notices shown, the answer the next question gets, and whether a
    // notice's own button is chosen over its OK.
    static std::vector<ShownBox> boxes;
    static int answer;
    static bool chooseNoticeButton;

private:
    static int RecordBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);
    static bool RecordNotice(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type, const wchar_t* button);
    UiSeams savedSeams_;
    std::wstring savedIniPath_;
};
