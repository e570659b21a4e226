#include "jindep/list.h"

#include "jindep/memory.h"

namespace {

uintptr_t ValueAt(const JListNode* node) { return node ? node->value : 0; }

void Link(JList* list, JListNode* node, JListNode* previous, JListNode* next) {
  node->previous = previous;
  node->next = next;
  if (previous)
    previous->next = node;
  else
    list->first = node;
  if (next)
    next->previous = node;
  else
    list->last = node;
  list->cursor = node;
  ++list->count;
}

JListNode* NewNode(uintptr_t value) {
  JListNode* node = static_cast<JListNode*>(JAlloc(sizeof(JListNode)));
  node->value = value;
  return node;
}

}  // namespace

void JListInit(JList* list) {
  list->first = nullptr;
  list->last = nullptr;
  list->cursor = nullptr;
  list->count = 0;
}

void JListClear(JList* list) {
  JListNode* node = list->first;
  while (node) {
    JListNode* next = node->next;
    JFree(node);
    node = next;
  }
  JListInit(list);
}

uintptr_t JListFirst(JList* list) {
  list->cursor = list->first;
  return ValueAt(list->cursor);
}

uintptr_t JListLast(JList* list) {
  list->cursor = list->last;
  return ValueAt(list->cursor);
}

uintptr_t JListNext(JList* list) {
  list->cursor = list->cursor ? list->cursor->next : list->first;
  return ValueAt(list->cursor);
}

uintptr_t JListPrevious(JList* list) {
  list->cursor = list->cursor ? list->cursor->previous : list->last;
  return ValueAt(list->cursor);
}

uintptr_t JListCurrent(const JList* list) { return ValueAt(list->cursor); }

uintptr_t JListReplace(JList* list, uintptr_t value) {
  if (!list->cursor) return 0;
  uintptr_t old = list->cursor->value;
  list->cursor->value = value;
  return old;
}

void JListInsertAfter(JList* list, uintptr_t value) {
  JListNode* at = list->cursor ? list->cursor : list->last;
  Link(list, NewNode(value), at, at ? at->next : nullptr);
}

void JListInsertBefore(JList* list, uintptr_t value) {
  JListNode* at = list->cursor ? list->cursor : list->first;
  Link(list, NewNode(value), at ? at->previous : nullptr, at);
}

void JListPushEnd(JList* list, uintptr_t value) {
  list->cursor = list->last;
  JListInsertAfter(list, value);
}

uintptr_t JListRemove(JList* list) {
  JListNode* node = list->cursor;
  if (!node) return 0;
  if (node->previous)
    node->previous->next = node->next;
  else
    list->first = node->next;
  if (node->next)
    node->next->previous = node->previous;
  else
    list->last = node->previous;
  list->cursor = node->next;
  --list->count;
  uintptr_t value = node->value;
  JFree(node);
  return value;
}
