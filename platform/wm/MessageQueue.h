// The queue of posted messages, first in, first out, with an optional window filter.
#pragma once
#include <deque>
#include <functional>

#include "platform/wm/Message.h"

namespace platform::wm {

class MessageQueue {
 public:
  void post(const Message& m) { queue_.push_back(m); }
  // Replaces the newest message when it has the same type and window (pointer moves,
  // sizes during a drag), or posts it.
  void postCoalesced(const Message& m);
  // Takes the first message accepted by `filter` (all when it is empty).
  bool take(Message* out, const std::function<bool(const Message&)>& filter);
  bool peek(Message* out, const std::function<bool(const Message&)>& filter) const;
  // Drops every message of a window (it is gone).
  void removeWindow(WindowId id);
  size_t size() const { return queue_.size(); }
  bool empty() const { return queue_.empty(); }

 private:
  std::deque<Message> queue_;
};

}  // namespace platform::wm
