// The Windows menu's graph commands, each bound to the active document, and what a
// number of colours chosen in a graph does to the document.
#pragma once

struct JMenuItem;

void QualityGraphCommand(JMenuItem* item, void* document);
void MaximumErrorGraphCommand(JMenuItem* item, void* document);
void FileSizeGraphCommand(JMenuItem* item, void* document);

// Installs the procedure that applies a number of colours chosen in a graph.
void InstallGraphChoice();
