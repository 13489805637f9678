// The About box: the icon, the version line and OK.
#pragma once

#include <windows.h>

// Modal, owned by MainWindow, so that MainDialog stays usable meanwhile.
void ShowAboutBox();
