#include "app/run_notices.h"

#include "app/run_results_window.h"
#include "app/run_summary.h"
#include "ui/ui_seams.h"

const wchar_t kNoticeCaption[] = L"お知らせ";
const wchar_t kShowResultsButton[] = L"詳細を表示(&D)";

namespace {

void Notice(HWND owner, const std::wstring& text, UINT icon)
{
    ShowMessageBox(owner, text, kNoticeCaption, MB_OK | icon);
}

}  // namespace

bool AgreeToRun(HWND owner, const RunVerdict& verdict, const PreparedRun& run)
{
    const std::wstring text = RunVerdictText(verdict, run);
    switch (verdict.kind) {
    case RunVerdict::kGo:
        return true;
    case RunVerdict::kOutputInsideInput:
        // Shown without an owner, as a fault in the parameters rather than a notice.
        ShowMessageBox(nullptr, text, L"パラメータエラー", MB_OK | MB_ICONERROR);
        return false;
    case RunVerdict::kNoInput:
    case RunVerdict::kNoOutput:
    case RunVerdict::kInputMissing:
    case RunVerdict::kOutputTooLong:
        Notice(owner, text, MB_ICONEXCLAMATION);
        return false;
    case RunVerdict::kRecordDamaged:
        ShowMessageBox(owner, text, L"写真の整理を実行できません", MB_OK | MB_ICONERROR);
        return false;
    case RunVerdict::kOtherLayout:
    case RunVerdict::kOutputNotEmpty:
        Notice(owner, text, MB_ICONEXCLAMATION);
        break;
    case RunVerdict::kAskBeforeAdding:
        if (ShowMessageBox(owner, text, kNoticeCaption, MB_OKCANCEL | MB_ICONQUESTION) == IDOK)
            return true;
        break;
    }
    Notice(owner, kCancelledText, MB_ICONINFORMATION);
    return false;
}

void ShowRunOutcome(HWND owner, const OrganizeResult& result, const RunSummary& summary)
{
    if (result.failedStage == OrganizeResult::kCopy) {
        // Shown without an owner, as the run's own fault report.
        ShowMessageBox(nullptr, CopyFailureText(result), L"ファイルのコピー失敗しました。", MB_OK | MB_ICONERROR);
    } else if (result.Failed()) {
        ShowMessageBox(owner, RunFailureText(result), L"写真の整理に失敗しました", MB_OK | MB_ICONERROR);
    } else if (result.stopped) {
        Notice(owner, RunStoppedText(result), MB_ICONINFORMATION);
    } else {
        std::wstring text = L"写真の整理が完了しました。";
        if (const std::wstring dated = DatedByLastWriteText(result.counts); !dated.empty())
            text += L"\r\n\r\n" + dated;
        if (result.counts.LeftOut())
            text += L"\r\n\r\n" + LeftOutText(result.counts);
        const UINT icon = result.counts.LeftOut() ? MB_ICONEXCLAMATION : MB_ICONINFORMATION;
        if (ShowNoticeWithButton(owner, text, kNoticeCaption, MB_OK | icon, kShowResultsButton)) {
            RunResultsWindow results(&summary);
            results.DoModal(owner);
        }
    }
}
