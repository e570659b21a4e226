// The toolkit's run-time skeleton: start-up and shut-down, the event loop and its
// steps, modal loops, polling the keyboard during long work, and the modifier state.
#pragma once
#include <cstdint>

#include "jwin/J_window.h"

// What the platform entry hands to the toolkit at start-up.
struct JStartValues {
  const char* backend;  // "headless", "sdl", or null for the default
  int screenWidth;      // 0 for the default screen
  int screenHeight;
  int argc;  // the program's own arguments, program path first
  char** argv;
  int showCommand;
  int screenDepth;  // bits a pixel of the display; 0 for 32
};

// The window layer's part of JToolkitInit (jwin/toolkit_start.h): runs once, starts the
// desktop and the main window. False (with a reason on stderr) when the backend cannot
// start, for example without a display.
bool JWindowsStart(const JStartValues* values);
// The window layer's part of JToolkitShutdown: closes what is left and shuts its modules down.
void JWindowsStop();
bool JToolkitShuttingDown();
// Between a successful JToolkitInit and JToolkitShutdown.
bool JToolkitStarted();
// The start values stored by JToolkitInit.
const JStartValues* JGetStartValues();

// Runs the command-line requests, then event steps until JQuit.
void JRunEventLoop();
void JQuit();
bool JEventLoopRunning();
// One step of the loop: with a filter window only its messages are taken (and no timed
// call runs); with idle allowed an empty queue waits for input or the next timed call,
// at most 50 ms.
void JEventStep(JWindow* filter, bool idleAllowed);
// Event steps until the window is disposed; the step that disposes it is the last.
void JModalLoop(JWindow* window, bool filterToWindow);
// True while a modal loop runs (an alert or dialog waits for its answer): menu
// shortcuts wait until it is answered.
bool JModalLoopRunning();
// Handles waiting paint messages at once, so a new window shows before long work.
void JProcessPendingPaint();

// True when input waits to be handled (a key, a mouse event, a command; not a paint
// or a timer): idle-time work that can wait yields to it.
bool JInputWaiting();

// Takes a waiting key (a key down or a typed character) out of the queue without
// dispatching it; x and y receive the pointer in the main window's content.
bool JGetKeyEvent(JKeyEvent* key, int16_t* x, int16_t* y);
// Returns one key taken by JGetKeyEvent; the next get or event step sees it first.
void JPushBackKeyEvent(const JKeyEvent* key);

uint8_t JGetModifiers();
// With the alternate shortcuts the command combination is Alt+Ctrl instead of Ctrl.
void JSetAlternateShortcuts(bool on);
bool JAlternateShortcuts();
// Turns platform modifier bits into the toolkit's modifier state.
uint8_t JModifiersFromPlatform(uint8_t platformModifiers);

// The menu layer asks for the menu bar to be redrawn at the start of the next step.
typedef void (*JMenuBarRedrawProc)(void* data);
void JSetMenuBarRedraw(JMenuBarRedrawProc proc, void* data);
void JMenuBarChanged();
