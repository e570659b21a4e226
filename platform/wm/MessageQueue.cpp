#include "platform/wm/MessageQueue.h"

#include <algorithm>

namespace platform::wm {

void MessageQueue::postCoalesced(const Message& m) {
  // Only the newest message may be replaced: anything queued after it keeps its order.
  if (!queue_.empty() && queue_.back().type == m.type && queue_.back().window == m.window) {
    queue_.back() = m;
    return;
  }
  queue_.push_back(m);
}

bool MessageQueue::take(Message* out, const std::function<bool(const Message&)>& filter) {
  for (auto it = queue_.begin(); it != queue_.end(); ++it) {
    if (!filter || filter(*it)) {
      *out = *it;
      queue_.erase(it);
      return true;
    }
  }
  return false;
}

bool MessageQueue::peek(Message* out, const std::function<bool(const Message&)>& filter) const {
  for (const Message& m : queue_) {
    if (!filter || filter(m)) {
      *out = m;
      return true;
    }
  }
  return false;
}

void MessageQueue::removeWindow(WindowId id) {
  queue_.erase(std::remove_if(queue_.begin(), queue_.end(),
                              [id](const Message& m) { return m.window == id; }),
               queue_.end());
}

}  // namespace platform::wm
