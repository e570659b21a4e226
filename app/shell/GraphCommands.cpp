#include "app/shell/GraphCommands.h"

#include "app/document/Document.h"
#include "app/graphs/ControlsPanel.h"
#include "app/graphs/ControlsPanel.h"
#include "app/graphs/FileSizeGraph.h"
#include "app/graphs/GraphWindow.h"
#include "app/graphs/MeasureGraphs.h"
#include "app/shell/Documents.h"

namespace {

Document* Open(void* data) {
  Document* d = static_cast<Document*>(data);
  return DocumentIsOpen(d) ? d : nullptr;
}

// As a change of the number of colours in the controls: the picture is mapped again and
// the size measured again; the graphs' curves do not depend on it.
void ApplyChosenColours(Document* d, uint32_t colours) {
  if (d->colourCount == colours) return;
  d->colourCount = colours;
  UpdateControls(d, kControlsColoursChanged | kKeepSizeGraph | kKeepMeasureGraphs);
}

}  // namespace

void QualityGraphCommand(JMenuItem*, void* data) {
  if (Document* d = Open(data)) OpenQualityGraph(d);
}

void MaximumErrorGraphCommand(JMenuItem*, void* data) {
  if (Document* d = Open(data)) OpenMaximumErrorGraph(d);
}

void FileSizeGraphCommand(JMenuItem*, void* data) {
  if (Document* d = Open(data)) StartFileSizeSampling(d);
}

void InstallGraphChoice() { SetColourCountChosenProc(ApplyChosenColours); }
