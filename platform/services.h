#pragma once
// The Windows services the installer calls, bundled so that one object carries them all. The
// installer reaches Windows through these and nothing else; a backend supplies the real ones
// (platform/win32) or the simulated ones (platform/sim).

#include "platform/kernel.h"
#include "platform/setupapi.h"
#include "platform/spooler.h"
#include "platform/user.h"
#include "platform/version.h"

struct Windows {
    Kernel& kernel;
    User& user;
    Version& version;
    SetupApi& setupApi;
    Spooler& spooler;
};
