#include "organize/organize_result.h"

#include <cwchar>

#include "base/path_text.h"
#include "organize/output_names.h"
#include "organize/output_record.h"

namespace {

// How the texts name the record: by the word the user knows it by, and its file's name.
std::wstring RecordWord()
{
    return std::wstring(L"比較情報(") + kRecordFileName + L")";
}

}  // namespace

std::wstring CopyFailureText(const OrganizeResult& result)
{
    return L"ファイルのコピーに失敗しました。\r\n【コピー元】" + result.failedSource + L"\r\n【コピー先】" +
           result.failedDestination + L"\r\n【HRESULT】" + HexStatus(result.status);
}

std::wstring RunFailureText(const OrganizeResult& result)
{
    std::wstring text;
    switch (result.failedStage) {
    case OrganizeResult::kNone:
        return std::wstring();
    case OrganizeResult::kCopy:
        return CopyFailureText(result);
    case OrganizeResult::kUnfinished:
        text = L"写真の整理を最後まで実行できませんでした。詳しくはログを確認してください。";
        break;
    case OrganizeResult::kRecordLoad:
        if (result.status == OutputRecord::kRecordDamaged)
            return RecordDamagedText(result.recordPath);
        text = L"出力先フォルダの" + RecordWord() + L"を読み込めませんでした。"
               L"ほかのプログラムが使用中でないか確認してから、再度実行してください。"
               L"ファイルはコピーしていません。比較情報も変更していません。";
        break;
    case OrganizeResult::kOutputFolder:
        return L"出力先フォルダに書き込めないため、写真の整理を実行できません。ファイルはコピーしていません。"
               L"出力先フォルダに書き込めるか確認してください。\r\n【出力】" + FolderOfPath(result.recordPath) +
               L"\r\n【HRESULT】" + HexStatus(result.status) + L" " + SystemMessageText(result.status);
    case OrganizeResult::kRecordFull:
        return L"出力先フォルダの" + RecordWord() + L"に記録できるファイルの数を超えるため、写真の整理を実行できません。"
               L"ファイルはコピーしていません。別の出力先フォルダを指定してください。\r\n【ファイル】" + result.recordPath;
    case OrganizeResult::kRecordSave:
        text = L"出力先フォルダに" + RecordWord() + L"を保存できませんでした。"
               L"出力先フォルダに書き込めるか、空き容量が足りているか確認してください。";
        break;
    case OrganizeResult::kAlbum:
        return L"写真の整理は完了しましたが、" +
               AlbumFailureText(result.status, result.failedAlbumPath, result.missingAlbumCodec);
    }
    return text + L"\r\n【HRESULT】" + HexStatus(result.status);
}

std::wstring AlbumFailureText(StatusCode status, const std::wstring& path, const std::wstring& missingCodec)
{
    if (!missingCodec.empty())
        return missingCodec + L"が見つからないため、写真一覧HTMLのサムネイルを作成できません。"
               L"インストールし直してください。";
    return L"写真一覧HTMLを作成できませんでした。出力先フォルダに書き込めるか、空き容量が足りているか確認してください。"
           L"\r\n【ファイル】" + path + L"\r\n【HRESULT】" + HexStatus(status) + L" " + SystemMessageText(status);
}

std::wstring RecordDamagedText(const std::wstring& recordPath)
{
    return L"出力先フォルダの" + RecordWord() + L"が壊れているため、写真の整理を実行できません。"
           L"ファイルはコピーしていません。\r\n【ファイル】" + recordPath +
           L"\r\n\r\n比較情報の控えがあれば元に戻してください。"
           L"ない場合は、空のフォルダを出力先に指定するか、出力先フォルダを空にしてから再度実行してください。";
}

std::wstring RunStoppedText(const OrganizeResult& result)
{
    wchar_t text[512];
    _snwprintf(text, 512,
               L"写真の整理を中止しました。\r\nコピーしたファイルの数 = %d\r\n重複ファイルの数 = %d\r\n"
               L"残りのファイルは、次に実行したときに整理されます。",
               result.counts.copied, result.counts.duplicates);
    text[511] = L'\0';
    const std::wstring leftOut = LeftOutText(result.counts);
    return leftOut.empty() ? std::wstring(text) : text + (L"\r\n\r\n" + leftOut);
}

std::wstring DatedByLastWriteText(const OrganizeCounts& counts)
{
    if (counts.datedByLastWrite == 0)
        return std::wstring();
    wchar_t text[256];
    _snwprintf(text, 256,
               L"撮影日時がファイルにもファイル名にもなかったため、%d 個のファイルを更新日時の日付のフォルダに整理しました。",
               counts.datedByLastWrite);
    text[255] = L'\0';
    return text;
}

std::wstring LeftOutText(const OrganizeCounts& counts)
{
    std::wstring text;
    auto add = [&text](const wchar_t* format, int count) {
        if (count == 0)
            return;
        wchar_t sentence[256];
        _snwprintf(sentence, 256, format, count);
        sentence[255] = L'\0';
        text += (text.empty() ? L"" : L"\r\n") + std::wstring(sentence);
    };
    add(L"パスが長すぎるため、%d 個のフォルダまたはファイルを整理できませんでした。詳しくはログを確認してください。",
        counts.tooLong);
    add(L"読み込めなかったため、%d 個のフォルダまたはファイルを整理できませんでした。詳しくはログを確認してください。",
        counts.unreadable);
    add(L"コピーできなかったため、%d 個のファイルを整理できませんでした。詳しくはログを確認してください。",
        counts.notOrganized);
    return text;
}
