#include "tests/organize/organize_fixture.h"

#include "base/settings_store.h"
#include "base/log_file.h"
#include "organize/organize_settings.h"
#include "tests/metadata/exif_block_builder.h"

std::vector<ShownBox> OrganizeFixture::boxes;
int OrganizeFixture::answer = IDOK;
bool OrganizeFixture::chooseNoticeButton = false;

int OrganizeFixture::RecordBox(HWND, const wchar_t* text, const wchar_t* caption, UINT type)
{
    boxes.push_back(ShownBox{caption, text, type, L""});
    return (type & MB_TYPEMASK) == MB_OKCANCEL ? answer : IDOK;
}

bool OrganizeFixture::RecordNotice(HWND, const wchar_t* text, const wchar_t* caption, UINT type, const wchar_t* button)
{
    boxes.push_back(ShownBox{caption, text, type, button});
    return chooseNoticeButton;
}

void OrganizeFixture::SetUp()
{
    boxes.clear();
    answer = IDOK;
    savedSeams_ = ActiveUiSeams();
    chooseNoticeButton = false;
    ActiveUiSeams().messageBox = &RecordBox;
    ActiveUiSeams().noticeWithButton = &RecordNotice;
    ActiveUiSeams().shellOpen = [](HWND, const std::wstring&) { return true; };
    ActiveUiSeams().showInFolder = [](HWND, const std::wstring&) { return true; };
    savedIniPath_ = g_SettingsStore.Path();
    g_SettingsStore.Open(root_.File(L"Lumidex.ini"));
    // The main window's start-up update check stays off the network in these tests (its own
    // tests serve it from the loopback address).
    EXPECT_TRUE(g_SettingsStore.SetInt(L"VERSION", L"notify", 1));
    g_Log.SetPath(logPath_);
    g_OrganizeSettings = OrganizeSettings();
    g_OrganizeSettings.Load();  // first start: photos only, YYYY-MM
    g_OrganizeSettings.OutputFormatType = 8;
    g_OrganizeSettings.MakePhotoHtml = 0;
}

void OrganizeFixture::TearDown()
{
    ActiveUiSeams() = savedSeams_;
    g_SettingsStore.UsePath(savedIniPath_);
    g_Log.SetPath(L"");
    g_OrganizeSettings = OrganizeSettings();
}

std::wstring OrganizeFixture::Photo(const std::wstring& relative, const std::string& date, char filler)
{
    Bytes bytes = JpegWithDates(date);
    bytes.insert(bytes.end() - 2, 300, static_cast<std::uint8_t>(filler));  // content of its own
    return MakeFile(root_.File(relative), bytes);
}

std::wstring OrganizeFixture::Log() const
{
    return ReadUtf16Text(logPath_);
}
