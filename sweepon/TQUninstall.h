// Sweepon's application: one windowless pass that removes the maker's
// folders from the current user's and the all-users Start Menu. With
// "/log PATH" its warnings go to PATH instead of a box (WarningLog.h).
#pragma once

#include "framework/WinApp.h"

class CTQUninstallApp : public CWinApp {
public:
    CTQUninstallApp();

    // Does the whole pass and returns FALSE, so that the program ends
    // without a message loop.
    BOOL InitInstance() override;
};

extern CTQUninstallApp theApp;
