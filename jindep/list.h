// JList: a doubly linked list of machine words with a cursor. Most operations act
// at the cursor; the value of a node is one pointer-sized word, so a list can hold
// addresses as well as numbers.
#pragma once
#include <cstdint>

struct JListNode {
  JListNode* previous;
  JListNode* next;
  uintptr_t value;
};

struct JList {
  JListNode* first;
  JListNode* last;
  JListNode* cursor;
  uint32_t count;
};

// A zeroed JList is a valid empty list; JListInit makes one explicitly.
void JListInit(JList* list);
// Frees every node; the list is empty afterwards.
void JListClear(JList* list);

// Moving the cursor. Each answers the value at the new cursor, or 0 when there is none.
uintptr_t JListFirst(JList* list);
uintptr_t JListLast(JList* list);
// From no cursor, next goes to the first node and previous to the last.
uintptr_t JListNext(JList* list);
uintptr_t JListPrevious(JList* list);

uintptr_t JListCurrent(const JList* list);
// Replaces the value at the cursor and answers the old one (0 and no change without a cursor).
uintptr_t JListReplace(JList* list, uintptr_t value);

// The new node becomes the cursor. Without a cursor, insert-after adds at the end
// and insert-before adds at the front.
void JListInsertAfter(JList* list, uintptr_t value);
void JListInsertBefore(JList* list, uintptr_t value);
void JListPushEnd(JList* list, uintptr_t value);

// Unlinks and frees the node at the cursor and answers its value; the cursor moves
// to the following node (none after the last). Without a cursor nothing happens and 0 is answered.
uintptr_t JListRemove(JList* list);
