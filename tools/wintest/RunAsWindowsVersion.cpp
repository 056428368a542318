#include "RunAsWindowsVersion.h"

#include "OwnedHandle.h"

#include <atomic>
#include <utility>
#include <vector>

namespace wintest {

namespace {

std::atomic<unsigned> copiesMade{0};

std::wstring FileName(const std::wstring& path)
{
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring WithoutExeSuffix(const std::wstring& name)
{
    const std::size_t dot = name.find_last_of(L'.');
    return dot == std::wstring::npos ? name : name.substr(0, dot);
}

// name.<setting>.<process>.<n>.exe: unique among the test programs running now.
std::wstring CopyName(const std::wstring& program, WindowsVersion version)
{
    return WithoutExeSuffix(FileName(program)) + L"." + WineVersionSetting(version) + L"."
           + std::to_wstring(GetCurrentProcessId()) + L"." + std::to_wstring(copiesMade++) + L".exe";
}

bool SetVersionSetting(const std::wstring& key, WindowsVersion version)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &handle, nullptr)
        != ERROR_SUCCESS) {
        return false;
    }
    const std::wstring value = WineVersionSetting(version);
    const LONG status = RegSetValueExW(handle, L"Version", 0, REG_SZ,
                                       reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    return status == ERROR_SUCCESS;
}

// An inheritable temporary file that the program writes its output to and
// that disappears once closed.
HANDLE CreateOutputFile()
{
    wchar_t folder[MAX_PATH + 1] = {};
    wchar_t path[MAX_PATH + 1] = {};
    if (!GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, L"out", 0, path)) {
        return INVALID_HANDLE_VALUE;
    }
    SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
    return CreateFileW(path, GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inheritable,
                       CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

std::string ReadAll(HANDLE file)
{
    std::string text;
    if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) {
        return text;
    }
    std::vector<char> chunk(4096);
    DWORD got = 0;
    while (ReadFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr) && got > 0) {
        text.append(chunk.data(), got);
    }
    return text;
}

RunningProgram StartProgram(const std::wstring& path, const std::wstring& arguments, HANDLE output)
{
    std::wstring commandLine = L"\"" + path + L"\"";
    if (!arguments.empty()) {
        commandLine += L" " + arguments;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    if (output) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = nullptr;
        startup.hStdOutput = output;
        startup.hStdError = output;
    }
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, output != nullptr, 0,
                        nullptr, nullptr, &startup, &process)) {
        return RunningProgram();
    }
    return RunningProgram(process);
}

}  // namespace

const wchar_t* WineVersionSetting(WindowsVersion version)
{
    switch (version) {
    case WindowsVersion::WindowsXP: return L"winxp";
    case WindowsVersion::Server2003: return L"win2003";
    case WindowsVersion::Vista: return L"vista";
    case WindowsVersion::Server2008: return L"win2008";
    // Wine 8.0 hands out the server product type for "win7" and the
    // workstation one for "win2008r2": its two rows are swapped. The helper's
    // own test checks the product type, so a Wine that mends this shows up.
    case WindowsVersion::Windows7: return L"win2008r2";
    case WindowsVersion::Server2008R2: return L"win7";
    case WindowsVersion::Windows8: return L"win8";
    case WindowsVersion::Windows81: return L"win81";
    case WindowsVersion::Windows10: return L"win10";
    }
    return L"";
}

RunningProgram::RunningProgram(const PROCESS_INFORMATION& process)
    : process_(process.hProcess), id_(process.dwProcessId)
{
    CloseHandle(process.hThread);
}

RunningProgram::RunningProgram(RunningProgram&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)), id_(std::exchange(other.id_, 0))
{
}

RunningProgram& RunningProgram::operator=(RunningProgram&& other) noexcept
{
    if (this != &other) {
        End();
        process_ = std::exchange(other.process_, nullptr);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

RunningProgram::~RunningProgram()
{
    End();
}

bool RunningProgram::Wait(DWORD timeoutMs) const
{
    return process_ && WaitForSingleObject(process_, timeoutMs) == WAIT_OBJECT_0;
}

DWORD RunningProgram::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (process_) {
        GetExitCodeProcess(process_, &code);
    }
    return code;
}

void RunningProgram::End()
{
    if (!process_) {
        return;
    }
    if (!Wait(0)) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
    process_ = nullptr;
}

VersionedProgram::VersionedProgram(const std::wstring& program, WindowsVersion version)
{
    const std::wstring name = CopyName(program, version);
    const std::size_t slash = program.find_last_of(L"\\/");
    copy_ = (slash == std::wstring::npos ? std::wstring() : program.substr(0, slash + 1)) + name;
    settingKey_ = L"Software\\Wine\\AppDefaults\\" + name;
    ready_ = CopyFileW(program.c_str(), copy_.c_str(), FALSE) && SetVersionSetting(settingKey_, version);
}

VersionedProgram::~VersionedProgram()
{
    DeleteFileW(copy_.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, settingKey_.c_str());
}

ProgramResult VersionedProgram::Run(const std::wstring& arguments, DWORD timeoutMs) const
{
    return RunProgram(copy_, arguments, timeoutMs);
}

ProgramResult RunProgram(const std::wstring& path, const std::wstring& arguments, DWORD timeoutMs)
{
    ProgramResult result;
    const OwnedHandle output(CreateOutputFile());
    if (!output.IsValid()) {
        return result;
    }
    RunningProgram program = StartProgram(path, arguments, output.Get());
    result.started = program.IsStarted();
    if (!result.started) {
        return result;
    }
    result.finished = program.Wait(timeoutMs);
    result.exitCode = program.ExitCode();
    program = RunningProgram();  // ends it when it did not finish
    result.output = ReadAll(output.Get());
    return result;
}

RunningProgram VersionedProgram::Start(const std::wstring& arguments) const
{
    return StartProgram(copy_, arguments, nullptr);
}

std::wstring ProgramFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

}  // namespace wintest
