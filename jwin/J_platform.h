// The toolkit's way to the platform's desktop. Only toolkit sources include this.
#pragma once
#include "platform/wm/Desktop.h"
#include "platform/wm/WindowManager.h"

// The running window manager; the toolkit is started before any of its calls.
platform::wm::WindowManager& JWindowManager();
bool JDesktopRunning();
