// A stand-in for 7z.exe in kdpsetup.exe's end-to-end tests under Wine. It
// does what the test put into the environment (which kdpsetup.exe passes
// on), in this order:
//   KDPSETUP_UNPACKER_WAIT_MS      waits that many milliseconds;
//   KDPSETUP_UNPACKER_KILL_CALLER  ends the program that started it, by
//                                  force with exit code 9, and stops;
//   KDPSETUP_UNPACKER_RECORD       writes its arguments to <itself>.args,
//                                  each followed by "|", as UTF-8;
//   KDPSETUP_UNPACKER_SEVENZIP     runs that 7z.exe with its arguments, its
//                                  output dropped;
//   KDPSETUP_UNPACKER_PRINT        prints these bytes (written as hex) in
//                                  text mode, as 7z.exe prints: lines end
//                                  with CR LF.

#include "CommandLine.h"
#include "OwnedHandle.h"

#include <windows.h>

#include <tlhelp32.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using wintest::OwnedHandle;

std::wstring Setting(const wchar_t* name)
{
    std::wstring value(32768, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size())));
    return value;
}

DWORD ParentId()
{
    const OwnedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
        if (entry.th32ProcessID == GetCurrentProcessId()) {
            return entry.th32ParentProcessID;
        }
    }
    return 0;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes)
{
    const OwnedHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

std::string FromHex(const std::wstring& hex)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += static_cast<char>(std::stoi(wintest::Utf8(hex.substr(i, 2)), nullptr, 16));
    }
    return bytes;
}

// Runs PROGRAM with ARGUMENTS (its own name first), its output dropped.
void RunQuietly(const std::wstring& program, std::vector<std::wstring> arguments)
{
    arguments[0] = program;
    std::wstring commandLine = wintest::JoinCommandLine(arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                       nullptr, nullptr, &startup, &started)) {
        WaitForSingleObject(started.hProcess, INFINITE);
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
    }
}

}  // namespace

int main()
{
    const std::vector<std::wstring> arguments = wintest::ProgramArguments();
    if (const std::wstring wait = Setting(L"KDPSETUP_UNPACKER_WAIT_MS"); !wait.empty()) {
        Sleep(static_cast<DWORD>(std::stoul(wait)));
    }
    if (!Setting(L"KDPSETUP_UNPACKER_KILL_CALLER").empty()) {
        const OwnedHandle caller(OpenProcess(PROCESS_TERMINATE, FALSE, ParentId()));
        TerminateProcess(caller.Get(), 9);
        return 0;
    }
    if (!Setting(L"KDPSETUP_UNPACKER_RECORD").empty()) {
        std::string recorded;
        for (std::size_t i = 1; i < arguments.size(); ++i) {
            recorded += wintest::Utf8(arguments[i]) + "|";
        }
        WriteFileBytes(arguments[0] + L".args", recorded);
    }
    if (const std::wstring sevenZip = Setting(L"KDPSETUP_UNPACKER_SEVENZIP"); !sevenZip.empty()) {
        RunQuietly(sevenZip, arguments);
    }
    const std::string print = FromHex(Setting(L"KDPSETUP_UNPACKER_PRINT"));
    std::fwrite(print.data(), 1, print.size(), stdout);
    return 0;
}
