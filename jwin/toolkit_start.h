// Starting and stopping the whole toolkit: each layer above the window layer installs
// what the window layer hands up to it (jwin/widget_hooks.h), then the window layer starts.
#pragma once

#include "jwin/J_event.h"

// Runs once: starts the desktop and the main window. False (with a reason on stderr)
// when the backend cannot start, for example without a display.
bool JToolkitInit(const JStartValues* values);
// Closes what is left and shuts the toolkit's modules down.
void JToolkitShutdown();
