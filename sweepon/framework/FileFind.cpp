#include "FileFind.h"

#include <cwchar>

CFileFind::~CFileFind()
{
    Close();
}

BOOL CFileFind::FindFile(LPCWSTR pattern)
{
    Close();
    search_ = ::FindFirstFileW(pattern, &next_);
    hasNext_ = search_ != INVALID_HANDLE_VALUE;
    return hasNext_;
}

BOOL CFileFind::FindNextFile()
{
    if (!hasNext_) {
        return FALSE;
    }
    current_ = next_;
    hasNext_ = ::FindNextFileW(search_, &next_) != FALSE;
    return hasNext_;
}

BOOL CFileFind::IsDots() const
{
    if (!MatchesMask(FILE_ATTRIBUTE_DIRECTORY)) {
        return FALSE;
    }
    return std::wcscmp(current_.cFileName, L".") == 0 || std::wcscmp(current_.cFileName, L"..") == 0;
}

CString CFileFind::GetFileName() const
{
    return current_.cFileName;
}

BOOL CFileFind::MatchesMask(DWORD mask) const
{
    return (current_.dwFileAttributes & mask) != 0;
}

void CFileFind::Close()
{
    if (search_ != INVALID_HANDLE_VALUE) {
        ::FindClose(search_);
        search_ = INVALID_HANDLE_VALUE;
    }
    hasNext_ = false;
}
