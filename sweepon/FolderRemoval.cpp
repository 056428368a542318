#include "FolderRemoval.h"

#include "FolderPaths.h"
#include "WarningLog.h"
#include "framework/FileFind.h"
#include "framework/MessageBox.h"

#include <windows.h>
#include <shlwapi.h>
#include <winternl.h>

#include <optional>
#include <string>
#include <utility>

using sweepon::FitsPathLimit;

namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle()
    {
        if (IsValid()) {
            CloseHandle(handle_);
        }
    }
    bool IsValid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

constexpr wchar_t kWarningText[] = L"删除目录失败！";
constexpr wchar_t kWarningCaption[] = L"警告信息";

// Set once "/log" is given: the box is never shown.
std::optional<std::wstring> warningLog;

std::string Utf8(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size,
                        nullptr, nullptr);
    return utf8;
}

// Appends in UTF-8; a log this program starts gets a byte-order mark, so that
// Notepad and PowerShell read the Chinese text whatever the code page.
void AppendToLog(const std::wstring& logPath, const std::wstring& line)
{
    if (logPath.empty()) {
        return;
    }
    const FileHandle log(CreateFileW(logPath.c_str(), FILE_APPEND_DATA,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!log.IsValid()) {
        return;
    }
    std::string bytes = Utf8(line);
    LARGE_INTEGER size{};
    if (GetFileSizeEx(log.Get(), &size) && size.QuadPart == 0) {
        bytes.insert(0, "\xEF\xBB\xBF");
    }
    DWORD written = 0;
    WriteFile(log.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void WarnFolderNotRemoved(const CString& folder)
{
    if (warningLog) {
        AppendToLog(*warningLog, sweepon::WarningLogLine(kWarningText, folder));
        return;
    }
    framework::ShowMessageBox(nullptr, kWarningText, kWarningCaption, MB_OK);
}

bool IsLink(const CString& path)
{
    const DWORD attributes = GetFileAttributesW(sweepon::WithoutTrailingBackslashes(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool MarkForDeletion(HANDLE handle)
{
    // Through ntdll: SetFileInformationByHandle is missing on Windows XP,
    // which has junctions all the same.
    struct {
        BOOLEAN deleteFile;
    } disposition{TRUE};
    IO_STATUS_BLOCK status{};
    return NtSetInformationFile(handle, &status, &disposition, sizeof(disposition),
                                FileDispositionInformation)
           == 0;
}

// Deletes the link itself, never what it points to. The handle is checked
// to be the link before anything is deleted: a platform that follows links
// even when told not to (Wine with Unix symbolic links) gets no delete at all.
bool RemoveLinkItself(const CString& path)
{
    const CString linkPath = sweepon::WithoutTrailingBackslashes(path);
    const FileHandle link(CreateFileW(linkPath.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING,
                                      FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                      nullptr));
    if (!link.IsValid()) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(link.Get(), &information)
        || (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return false;
    }
    return MarkForDeletion(link.Get());
}

// Calls `visit` with the finder on each entry the search `pattern` finds,
// "." and ".." included; finds nothing when the pattern is too long for the
// platform's calls.
template <typename Visit>
void ForEachEntry(const CString& pattern, Visit&& visit)
{
    if (!FitsPathLimit(pattern)) {
        return;
    }
    CFileFind finder;
    BOOL more = finder.FindFile(pattern.c_str());
    while (more) {
        more = finder.FindNextFile();
        visit(finder);
    }
}

void RemoveFolderContents(const CString& folder)
{
    ForEachEntry(sweepon::RemovalPattern(folder), [&folder](const CFileFind& entry) {
        if (entry.IsDots()) {
            return;
        }
        // An entry the calls cannot reach stays, and so does its folder.
        const CString path = sweepon::RemovalEntry(folder, entry.GetFileName());
        if (!FitsPathLimit(path)) {
            return;
        }
        // A linked folder goes through DeleteDirectory too, which removes it
        // as a link; a linked file is removed as a link by DeleteFileW.
        if (entry.MatchesMask(FILE_ATTRIBUTE_DIRECTORY)) {
            DeleteDirectory(path);
        } else {
            DeleteFileW(path.c_str());
        }
    });
}

bool RemoveFolderTree(const CString& folder)
{
    if (!FitsPathLimit(folder)) {
        return false;
    }
    RemoveFolderContents(folder);
    return RemoveDirectoryW(folder.c_str()) != FALSE;
}

}  // namespace

void CountFolderContents(const CString& folder, std::size_t& subfolders, std::size_t& files)
{
    ForEachEntry(sweepon::CountPattern(folder), [&](const CFileFind& entry) {
        if (!entry.MatchesMask(FILE_ATTRIBUTE_DIRECTORY)) {
            ++files;
            return;
        }
        const CString name = entry.GetFileName();
        if (name.empty() || name.front() == L'.') {
            return;
        }
        ++subfolders;
        if (entry.MatchesMask(FILE_ATTRIBUTE_REPARSE_POINT)) {
            return;
        }
        CountFolderContents(sweepon::CountSubfolder(folder, name), subfolders, files);
    });
}

bool DeleteDirectory(CString folder)
{
    const bool removed = IsLink(folder) ? RemoveLinkItself(folder) : RemoveFolderTree(folder);
    if (!removed) {
        WarnFolderNotRemoved(folder);
    }
    return removed;
}

void SendWarningsToLog(std::wstring logPath)
{
    warningLog = std::move(logPath);
}

void RemoveCandidateFolders(const std::array<CString, 4>& candidates)
{
    std::size_t files = 0;  // counted along, never consulted
    for (const CString& candidate : candidates) {
        if (!FitsPathLimit(candidate) || !PathFileExistsW(candidate.c_str())) {
            continue;
        }
        std::size_t subfolders = 0;
        CountFolderContents(candidate, subfolders, files);
        if (subfolders > 0) {
            continue;
        }
        DeleteDirectory(candidate);
    }
}
