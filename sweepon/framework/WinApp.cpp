#include "WinApp.h"

namespace {

CWinApp* theApplication = nullptr;

using RegisterApplicationRestartFunction = HRESULT(WINAPI*)(PCWSTR commandLine, DWORD flags);

void RegisterWithRestartManager(const CWinApp& app)
{
    if ((app.m_dwRestartManagerSupportFlags & AFX_RESTART_MANAGER_SUPPORT_RESTART) == 0) {
        return;
    }
    // Windows XP has no restart manager and no such entry point.
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const FARPROC entry = kernel ? GetProcAddress(kernel, "RegisterApplicationRestart") : nullptr;
    if (!entry) {
        return;
    }
    const auto registerRestart = reinterpret_cast<RegisterApplicationRestartFunction>(
        reinterpret_cast<void (*)()>(entry));
    registerRestart(nullptr, 0);
}

}  // namespace

BOOL CWinThread::InitInstance()
{
    return TRUE;
}

int CWinThread::Run()
{
    while (GetMessageW(&m_msgCur, nullptr, 0, 0) > 0) {
        TranslateMessage(&m_msgCur);
        DispatchMessageW(&m_msgCur);
    }
    return ExitInstance();
}

int CWinThread::ExitInstance()
{
    return static_cast<int>(m_msgCur.wParam);
}

CWinApp::CWinApp()
{
    theApplication = this;
}

CWinApp::~CWinApp()
{
    if (theApplication == this) {
        theApplication = nullptr;
    }
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

CWinApp* AfxGetApp()
{
    return theApplication;
}

int AfxWinMain()
{
    CWinApp* app = AfxGetApp();
    if (!app) {
        return -1;
    }
    RegisterWithRestartManager(*app);
    if (!app->InitInstance()) {
        return app->ExitInstance();
    }
    return app->Run();
}

void AfxEnableControlContainer(COccManager* /*manager*/)
{
}
