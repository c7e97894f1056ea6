// The one application object of Install.exe, built before the program's entry point runs.

#include "app/install_app.h"

CInstallApp theApp;
