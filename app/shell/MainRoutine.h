// The application's main routine: initialises the application's modules in their
// fixed order and runs the event loop; returns once the loop has ended.
#pragma once

void ApplicationMain();
// The quit request: ends the event loop; nothing is saved or confirmed.
void QuitRequest(void* data, const char* path);
// The rest of the start-up once the splash is closed: the magnifier and memory-usage
// windows, then the Open command; it runs from the event loop, after the closing click.
void StartUpFollowUp();
