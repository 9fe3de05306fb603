#pragma once

// A circular doubly linked list of untyped payload pointers. The head is a
// sentinel node whose payload points to itself; an empty list is a head
// linked to itself. Users walk it directly: from the head's next node until
// they are back at the head. The list owns its nodes, never its payloads,
// and compares payloads as pointer values only.

struct ListNode {
    ListNode *next;
    ListNode *previous;
    void *payload;
};

typedef ListNode List;

List *ListCreate();
ListNode *ListInsertFront(void *payload, List *list);
ListNode *ListInsertBack(void *payload, List *list);
void ListRemove(void *payload, List *list);
void ListDestroy(List *list);
