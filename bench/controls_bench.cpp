// The number of colours changed in the controls window of a 1024 x 768 photograph, timed
// from the Return that commits the typed number to the repainted preview on the screen,
// through the headless program as a user drives it.
#include <benchmark/benchmark.h>

#include <string>

#include "app/document/Document.h"
#include "app/graphs/ControlsPanel.h"
#include "app/graphs/ControlsPanelState.h"
#include "app/shell/Documents.h"
#include "bench/bench_data.h"
#include "jindep/Ji_tidge.h"
#include "jwin/J_event.h"
#include "jwin/J_file.h"
#include "jwin/J_platform.h"
#include "jwin/J_window.h"
#include "jwin/toolkit_start.h"
#include "platform/backend/headless/HeadlessBackend.h"

namespace {

using platform::backend::HeadlessBackend;

HeadlessBackend& Input() { return static_cast<HeadlessBackend&>(platform::wm::Desktop::Current()->backend()); }

// Every waiting message handled and the screen composed: what the user then sees.
void Drain() {
  platform::wm::WindowManager& wm = JWindowManager();
  for (int i = 0; i < 10000; ++i) {
    platform::wm::Message m;
    wm.pumpInput();
    if (!wm.nextMessage(&m, 0, false)) break;
    JEventStep(nullptr, false);
  }
  wm.compose();
}

void BM_ColourCountCommittedToPreview(benchmark::State& state) {
  const std::string dir = BenchDataDir() + "/";
  if (!std::fopen((dir + "photo_1024x768.bmp").c_str(), "rb")) {
    state.SkipWithError("photo_1024x768.bmp is missing (run bench/run.sh)");
    return;
  }
  static char program[] = "bench";
  static char* argv[] = {program, nullptr};
  JStartValues v = {"headless", 1600, 1000, 1, argv, 0, 0};
  JToolkitInit(&v);
  JFileTypesInit();
  DocumentsInit();
  OpenDocumentFile(JFileSpecNew(dir.c_str(), "photo_1024x768.bmp"));
  Drain();
  Document* d = ActiveDocument();
  if (!d || !d->controls) {
    state.SkipWithError("the photograph did not open");
    JToolkitShutdown();
    return;
  }
  JWidget* field = d->controls->coloursField;
  JSelectWindow(d->controls->window);
  JSetFocus(field->window, field);
  const char* counts[] = {"16", "256", "4000", "2", "60000", "100"};
  int i = 0;
  for (auto _ : state) {
    state.PauseTiming();
    Input().key(platform::wm::kKeyHome);
    Input().key(platform::wm::kKeyEnd, 0, platform::wm::kShift);
    Input().type(counts[i++ % 6]);
    Drain();
    state.ResumeTiming();
    Input().key(platform::wm::kKeyReturn, 13);
    Drain();
  }
  state.counters["colours"] = static_cast<double>(d->colourTable ? d->colourCount : 0);
  CloseAllDocuments();
  JToolkitShutdown();
}
BENCHMARK(BM_ColourCountCommittedToPreview)->Unit(benchmark::kMillisecond)->Iterations(30);

}  // namespace
