#include "app/shell/MainRoutine.h"

#include "app/colour/BlockPool.h"
#include "app/document/BitReverse.h"
#include "app/gif/LzwEncoder.h"
#include "app/graphs/MagnifierWidget.h"
#include "app/shell/DisplayCheck.h"
#include "app/shell/Documents.h"
#include "app/shell/Menus.h"
#include "app/shell/OutOfMemory.h"
#include "app/shell/ProgressWindow.h"
#include "app/shell/Settings.h"
#include "jindep/memory.h"
#include "jwin/J_event.h"
#include "jwin/J_hleven.h"

namespace {
constexpr size_t kEmergencyReserve = 65536;
}  // namespace

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
  CheckDisplayDepth();
  JRunEventLoop();
  // Nothing is saved at the end; what the documents hold is given back.
  StopWatchingMainWindow();
  CloseAllDocuments();
  RemoveProgressWindows();
  DisposeMenus();
}
