// A second thread for engine work that splits in two (halves of a picture,
// blocks of colours). Starting a thread can fail, in a process that has run out
// of threads or memory: the caller then does the helper's share itself, so the
// work is done either way and nothing is thrown.
#pragma once
#include <pthread.h>

typedef void (*HelperProc)(void* data);

struct HelperThread {
  pthread_t thread;
  HelperProc proc;
  void* data;
  bool running;
};

// True when a second processor is there to make a helper worth starting.
bool HelperThreadsWorthwhile();
// Starts proc(data) on a thread of its own; false (and nothing started) when none could be.
bool HelperStart(HelperThread* helper, HelperProc proc, void* data);
// Waits for a started helper; nothing for one that never started.
void HelperJoin(HelperThread* helper);
// Lets helpers start (the default) or makes every start fail, as in a process out of threads.
void HelperThreadsAllow(bool allowed);
