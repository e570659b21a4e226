#include "app/shell/MainRoutine.h"

#include "app/colour/BlockPool.h"
#include "app/document/BitReverse.h"
#include "app/gif/LzwEncoder.h"
#include "app/graphs/MagnifierWidget.h"
#include "app/graphs/MagnifierWindow.h"
#include "app/shell/AboutBox.h"
#include "app/shell/Commands.h"
#include "app/shell/DisplayCheck.h"
#include "app/shell/Documents.h"
#include "app/shell/MemoryWindow.h"
#include "app/shell/Menus.h"
#include "app/shell/OutOfMemory.h"
#include "app/shell/ProgressWindow.h"
#include "app/shell/Settings.h"
#include "jindep/memory.h"
#include "jwin/J_event.h"
#include "jwin/J_hleven.h"
#include "jwin/J_sched.h"

namespace {

constexpr size_t kEmergencyReserve = 65536;

// Neither takes the focus: the splash or the Open dialog has it.
void OpenStartUpWindows() {
  ShowMagnifier(false);
  OpenMemoryUsage(false);
}

void FollowUp(void*) {
  OpenStartUpWindows();
  OpenCommand(nullptr, nullptr);
}

}  // namespace

void StartUpFollowUp() { JSchedule(FollowUp, nullptr, 0); }

void QuitRequest(void*, const char*) { JQuit(); }

void ApplicationMain() {
  // Memory first: the reserve lets the program still say that memory ran out.
  InstallOutOfMemoryAlert();
  JMemSetEmergencyReserve(kEmergencyReserve);
  SetShowDepthWarning(true);
  LoadSettings();
  WatchMainWindow();
  BuildMenus();
  MagnifierClass();
  BuildBitReverseTable();
  LzwInit();
  JSetHighLevelHandler(kJRequestQuit, QuitRequest, nullptr);
  DocumentsInit();
  InstallProgressWindows();
  // The colour engine's block pools for graph and tree nodes.
  EngineInit();
  if (CheckDisplayDepth())
    OpenAbout(true);
  else
    OpenStartUpWindows();
  JRunEventLoop();
  // Nothing is saved at the end; what the documents hold is given back.
  StopWatchingMainWindow();
  CloseAllDocuments();
  RemoveProgressWindows();
  DisposeMenus();
}
