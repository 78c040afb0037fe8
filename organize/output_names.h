#pragma once
// The names the program itself gives folders and files in an output folder: the album and
// its cache, the record, and the work files that exist only while a run goes on. Whatever
// depth they are met at, in an output folder or in an input that once was one, nothing
// ever organizes them or lists them in an album.

#include <string>

inline constexpr wchar_t kAlbumFolderName[] = L"PhotoAlbum";
inline constexpr wchar_t kAlbumCacheFolderName[] = L"PhotoAlbum.cache";
inline constexpr wchar_t kRecordFileName[] = L"Sortavel.dat";

// The start of the temporary name of a copy in the making, in the output folder itself, which
// holds few names (a number follows, as several copies may be made at once); the next run
// removes one that was left, wherever in the folder it lies.
inline constexpr wchar_t kPartialCopyName[] = L".kasumiro-copying";

// The record path of an output folder.
std::wstring RecordPathOf(const std::wstring& outputFolder);
// Beside the record while a new one is being written; put in the record's place when whole.
std::wstring RecordSavingPathOf(const std::wstring& recordPath);
// The suffix that makes the record's path that name.
const wchar_t* RecordSavingSuffix();
// Beside the record while a run goes on: left behind, it tells the next run that copies may
// have been stopped half-way.
std::wstring RunningMarkerPathOf(const std::wstring& recordPath);

// The temporary name of a copy, by a file's name (not its path).
bool IsPartialCopyName(const std::wstring& name);
// The record or one of the work files, by a file's name (not its path).
bool IsOwnFileName(const std::wstring& name);
// One of the work files, by a file's name.
bool IsWorkFileName(const std::wstring& name);
// The album or its cache, by a folder's name.
bool IsOwnFolderName(const std::wstring& name);
