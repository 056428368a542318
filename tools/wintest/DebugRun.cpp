// debugrun PROGRAM [ARGUMENTS...]
//
// Runs PROGRAM as its debugger and shows its two output channels the way a
// Unix program's would: its standard output passes through to ours, and
// what it writes to the debugger output (OutputDebugString, where qDebug of
// a Qt program without a console goes) comes out on our standard error, as
// UTF-8. Its standard input is empty. Exits with PROGRAM's exit code.
//
// Debug strings reach a debugger in the program's ANSI code page, as they
// reach any debugger: characters the code page lacks are "?" already.

#include "CommandLine.h"
#include "OwnedHandle.h"

#include <windows.h>

#include <string>
#include <thread>
#include <vector>

namespace {

using wintest::OwnedHandle;

void Write(HANDLE channel, const std::string& bytes)
{
    DWORD written = 0;
    WriteFile(channel, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// Copies everything from PIPE to CHANNEL until the pipe's last writer is gone.
void PassThrough(HANDLE pipe, HANDLE channel)
{
    std::vector<char> chunk(4096);
    DWORD got = 0;
    while (ReadFile(pipe, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr) && got > 0) {
        Write(channel, std::string(chunk.data(), got));
    }
}

OwnedHandle Inheritable(HANDLE handle)
{
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, 0, TRUE, DUPLICATE_SAME_ACCESS);
    return OwnedHandle(copy);
}

// The debug string the event points to, as UTF-8.
std::string DebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info)
{
    const std::size_t unit = info.fUnicode ? sizeof(wchar_t) : 1;
    std::vector<char> bytes(info.nDebugStringLength * unit);
    SIZE_T got = 0;
    ReadProcessMemory(process, info.lpDebugStringData, bytes.data(), bytes.size(), &got);
    bytes.resize(got - got % unit);
    std::wstring text;
    if (info.fUnicode) {
        text.assign(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / unit);
    } else {
        const int size = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
        text.resize(static_cast<std::size_t>(size));
        MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
    }
    text.erase(text.find(L'\0') == std::wstring::npos ? text.size() : text.find(L'\0'));
    return wintest::Utf8(text);
}

// Follows the debugged PROCESS until it ends; returns its exit code.
DWORD Debug(HANDLE process, HANDLE errorChannel)
{
    for (;;) {
        DEBUG_EVENT event{};
        if (!WaitForDebugEvent(&event, INFINITE)) {
            return GetLastError();
        }
        // Exceptions are the program's own to handle, save the breakpoint
        // the loader stops at when a debugger is there.
        DWORD status = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
            CloseHandle(event.u.CreateProcessInfo.hFile);
            break;
        case LOAD_DLL_DEBUG_EVENT:
            CloseHandle(event.u.LoadDll.hFile);
            break;
        case OUTPUT_DEBUG_STRING_EVENT:
            Write(errorChannel, DebugString(process, event.u.DebugString));
            break;
        case EXCEPTION_DEBUG_EVENT:
            if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
                status = DBG_EXCEPTION_NOT_HANDLED;
            }
            if (!event.u.Exception.dwFirstChance) {
                Write(errorChannel, "debugrun: unhandled exception "
                                        + std::to_string(event.u.Exception.ExceptionRecord.ExceptionCode) + "\n");
            }
            break;
        case EXIT_PROCESS_DEBUG_EVENT:
            ContinueDebugEvent(event.dwProcessId, event.dwThreadId, DBG_CONTINUE);
            return event.u.ExitProcess.dwExitCode;
        default:
            break;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    }
}

}  // namespace

int main()
{
    const HANDLE errorChannel = GetStdHandle(STD_ERROR_HANDLE);
    std::vector<std::wstring> arguments = wintest::ProgramArguments();
    if (arguments.size() < 2) {
        Write(errorChannel, "usage: debugrun PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    arguments.erase(arguments.begin());

    SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, &inheritable, 0);
    const OwnedHandle outputPipe(readEnd);
    OwnedHandle programOutput(writeEnd);
    SetHandleInformation(outputPipe.Get(), HANDLE_FLAG_INHERIT, 0);
    const OwnedHandle emptyInput(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                             &inheritable, OPEN_EXISTING, 0, nullptr));
    const OwnedHandle programErrors = Inheritable(errorChannel);

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = emptyInput.Get();
    startup.hStdOutput = programOutput.Get();
    startup.hStdError = programErrors.Get();
    std::wstring commandLine = wintest::JoinCommandLine(arguments);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(arguments[0].c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                        DEBUG_ONLY_THIS_PROCESS, nullptr, nullptr, &startup, &started)) {
        Write(errorChannel, "debugrun: cannot start " + wintest::Utf8(arguments[0]) + " (error "
                                + std::to_string(GetLastError()) + ")\n");
        return 127;
    }
    const OwnedHandle process(started.hProcess);
    const OwnedHandle thread(started.hThread);
    // Ours closed, the pipe ends when the program (and whatever inherited
    // its output) is gone.
    programOutput = OwnedHandle();
    std::thread output(PassThrough, outputPipe.Get(), GetStdHandle(STD_OUTPUT_HANDLE));

    const DWORD exitCode = Debug(process.Get(), errorChannel);
    output.join();
    return static_cast<int>(exitCode);
}
