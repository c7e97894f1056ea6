#pragma once

#include "platform/dialog_template.h"

// Dialog template 102, the installer's window.
const DialogTemplate& InstallDialogTemplate();
