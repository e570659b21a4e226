// High-level requests: open application, open documents, print documents and quit,
// and the command line that turns into them on the first pass of the event loop.
#pragma once
#include <cstdint>

enum {
  kJRequestOpenApplication = 0,
  kJRequestOpenDocuments = 1,
  kJRequestPrintDocuments = 2,
  kJRequestQuit = 3,
  kJRequestKinds = 4,
};

// `path` is the document's path for kinds 1 and 2 and null otherwise.
typedef void (*JHighLevelProc)(void* data, const char* path);
void JSetHighLevelHandler(int kind, JHighLevelProc proc, void* data);
// Calls the handler of a kind; a quit request without a handler clears the running flag.
void JHighLevelRequest(int kind, const char* path);
void JClearHighLevelHandlers();

// What the command line asks for. The first argument that is not an option is the
// document; "-p" or "/p" before it asks for printing. A document in double quotes loses
// them. Arguments after the program path only; answers the request kind (0 when no
// document is named) and points *path into argv or at null.
int JParseCommandLine(int argc, char** argv, const char** path);
// Runs what the command line asks for, once per call: printing is followed by a quit.
void JRunCommandLine(int argc, char** argv);
