#include "app/colour/HelperThread.h"

#include <unistd.h>

namespace {

bool gAllowed = true;

void* Run(void* helper) {
  HelperThread* h = static_cast<HelperThread*>(helper);
  h->proc(h->data);
  return nullptr;
}

}  // namespace

bool HelperThreadsWorthwhile() { return sysconf(_SC_NPROCESSORS_ONLN) > 1; }

bool HelperStart(HelperThread* helper, HelperProc proc, void* data) {
  helper->proc = proc;
  helper->data = data;
  helper->running = gAllowed && pthread_create(&helper->thread, nullptr, Run, helper) == 0;
  return helper->running;
}

void HelperJoin(HelperThread* helper) {
  if (helper->running) pthread_join(helper->thread, nullptr);
  helper->running = false;
}

void HelperThreadsAllow(bool allowed) { gAllowed = allowed; }
