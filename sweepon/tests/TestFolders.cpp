#include "TestFolders.h"

#include <atomic>
#include <string>

namespace sweepon_test {

namespace {

std::atomic<unsigned> scratchFolders{0};

std::wstring TempFolder()
{
    wchar_t path[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, path);
    return path;
}

std::wstring Parent(const std::wstring& path)
{
    const std::size_t end = path.find_last_not_of(L'\\');
    const std::size_t slash = path.find_last_of(L'\\', end);
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::string UnixPath(const std::wstring& path)
{
    using UnixFileNameFunction = char*(CDECL*)(LPCWSTR);
    const FARPROC entry =
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
    if (!entry) {
        return {};
    }
    const auto unixFileName =
        reinterpret_cast<UnixFileNameFunction>(reinterpret_cast<void (*)()>(entry));
    char* name = unixFileName(path.c_str());
    if (!name) {
        return {};
    }
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Wine keeps Unix file names, and takes Unix command lines, in UTF-8.
std::wstring WidenUtf8(const std::string& text)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

// Wine runs a Unix program when asked to start one by its Unix path, but
// hands back no process to wait for: the caller waits for its effect.
bool StartUnixProgram(const std::wstring& commandLine)
{
    std::wstring line = commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    if (process.hThread) {
        CloseHandle(process.hThread);
    }
    if (process.hProcess) {
        CloseHandle(process.hProcess);
    }
    return true;
}

bool WaitUntilExists(const std::wstring& path, bool exists)
{
    for (int i = 0; i < 500; ++i) {
        if (Exists(path) == exists) {
            return true;
        }
        Sleep(10);
    }
    return false;
}

std::wstring Quoted(const std::string& text)
{
    return L"\"" + WidenUtf8(text) + L"\"";
}

}  // namespace

ScratchFolder::ScratchFolder()
{
    path_ = TempFolder() + L"sweepon-" + std::to_wstring(GetCurrentProcessId()) + L"-"
            + std::to_wstring(scratchFolders++) + L"\\";
    RemoveTree(path_);
    MakeFolders(path_);
}

ScratchFolder::~ScratchFolder()
{
    RemoveTree(path_);
}

DWORD Attributes(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str());
}

bool Exists(const std::wstring& path)
{
    return Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

bool MakeFolders(const std::wstring& path)
{
    if (path.empty() || Exists(path)) {
        return true;
    }
    const std::wstring parent = Parent(path);
    if (!parent.empty() && parent.back() != L':' && parent.back() != L'?' && !MakeFolders(parent)) {
        return false;
    }
    return CreateDirectoryW(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool MakeFile(const std::wstring& path)
{
    if (!MakeFolders(Parent(path))) {
        return false;
    }
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    WriteFile(file, "[InternetShortcut]\r\n", 20, &written, nullptr);
    CloseHandle(file);
    return true;
}

bool MakeReadOnlyFile(const std::wstring& path)
{
    return MakeFile(path) && SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
}

namespace {

void RemoveFromUnix(const std::wstring& path, const wchar_t* command)
{
    std::string unixPath = UnixPath(path);
    while (unixPath.size() > 1 && unixPath.back() == '/') {
        unixPath.pop_back();
    }
    if (!unixPath.empty() && StartUnixProgram(command + Quoted(unixPath))) {
        WaitUntilExists(path, false);
    }
}

}  // namespace

void RemoveUnixLink(const std::wstring& path)
{
    RemoveFromUnix(path, L"/bin/rm -f ");
}

void RemoveTreeFromUnix(const std::wstring& path)
{
    RemoveFromUnix(path, L"/bin/rm -rf ");
}

namespace {

// Wine lists a link whose target is gone no more, so links go first.
enum class Pass { Links, Everything };

void RemoveEntry(const std::wstring& path, DWORD attributes, Pass pass)
{
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        RemoveUnixLink(path);
        return;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        const std::wstring folder = path.back() == L'\\' ? path : path + L"\\";
        ForEachEntry(folder, [&](const std::wstring& name, DWORD entryAttributes) {
            RemoveEntry(folder + name, entryAttributes, pass);
        });
        if (pass == Pass::Everything) {
            RemoveDirectoryW(path.c_str());
        }
        return;
    }
    if (pass == Pass::Everything) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(path.c_str());
    }
}

}  // namespace

void RemoveTree(const std::wstring& path)
{
    for (const Pass pass : {Pass::Links, Pass::Everything}) {
        const DWORD attributes = Attributes(path);
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            RemoveEntry(path, attributes, pass);
        }
    }
}

void ForEachEntry(const std::wstring& folder,
                  const std::function<void(const std::wstring& name, DWORD attributes)>& visit)
{
    WIN32_FIND_DATAW entry;
    const HANDLE search = FindFirstFileW((folder + L"*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        const std::wstring name = entry.cFileName;
        if (name != L"." && name != L"..") {
            visit(name, entry.dwFileAttributes);
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

std::wstring LongPath(const std::wstring& path)
{
    return L"\\\\?\\" + path;
}

bool MakeUnixLink(const std::wstring& target, const std::wstring& link)
{
    if (!MakeFolders(Parent(link))) {
        return false;
    }
    const std::string unixTarget = UnixPath(target);
    std::string unixLink = UnixPath(link);
    while (unixLink.size() > 1 && unixLink.back() == '/') {
        unixLink.pop_back();
    }
    if (unixTarget.empty() || unixLink.empty()) {
        return false;
    }
    return StartUnixProgram(L"/bin/ln -s " + Quoted(unixTarget) + L" " + Quoted(unixLink))
           && WaitUntilExists(link, true);
}

bool IsAtOrBelow(const std::wstring& path, const std::wstring& folder)
{
    return path == folder || path.rfind(folder + L"\\", 0) == 0;
}

std::string Narrow(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), size, nullptr, nullptr);
    utf8.pop_back();
    return utf8;
}

bool AnsiCodePageHolds(const std::wstring& text)
{
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.c_str(), -1, nullptr, 0,
                                         nullptr, &usedDefault);
    return size > 0 && !usedDefault;
}

}  // namespace sweepon_test
