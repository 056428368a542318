// The application object and the start-up sequence of a framework program:
// the one CWinApp-derived object is constructed at program start, the entry
// point calls its InitInstance, and either runs the message loop or, when
// InitInstance returns FALSE, ends at once with ExitInstance's code.
#pragma once

#include <windows.h>

// Restart-manager support flags (m_dwRestartManagerSupportFlags).
constexpr DWORD AFX_RESTART_MANAGER_SUPPORT_RESTART = 0x01;

class CWinThread {
public:
    CWinThread() = default;
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;
    virtual ~CWinThread() = default;

    // TRUE goes on to Run; FALSE ends the program with ExitInstance's code.
    virtual BOOL InitInstance();
    // Dispatches messages until WM_QUIT, then returns ExitInstance's code.
    virtual int Run();
    // The exit code: WM_QUIT's, or 0 when no message loop ran.
    virtual int ExitInstance();

protected:
    MSG m_msgCur{};
};

class CWinApp : public CWinThread {
public:
    // The new object becomes the program's one application object.
    CWinApp();
    ~CWinApp() override;

    BOOL InitInstance() override;

    // With AFX_RESTART_MANAGER_SUPPORT_RESTART the program asks Windows
    // (Vista and later) to start it again after an update or a crash.
    DWORD m_dwRestartManagerSupportFlags = 0;
};

// The one application object, or nullptr when there is none.
CWinApp* AfxGetApp();

// Runs the application object through its life; returns the exit code.
int AfxWinMain();

// The framework's switch for hosting ActiveX controls. Nothing here hosts
// one, so it only keeps the program's start-up reading as it always has.
class COccManager;
void AfxEnableControlContainer(COccManager* manager = nullptr);
