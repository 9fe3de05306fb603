#pragma once

// A circular doubly linked list of untyped payload pointers. The head is a
// sentinel node whose payload points to itself; an empty list is a head
// linked to itself. Users walk it directly, from the head's next node until
// they are back at the head (ListForEach). The list owns its nodes, never
// its payloads, and compares payloads as pointer values only: a payload is
// never dereferenced, so a key may name released memory.
//
// Every node and head is a pool block. Operations on a null list do
// nothing and give null.

struct ListNode {
    ListNode *next;
    ListNode *previous;
    void *payload;
};

typedef ListNode List;

// A new empty list, or null when the pool has no block for its head.
List *ListCreate();

// Link a new node holding payload right after the head (front) or right
// before it (back); the new node, or null when the pool has no block, in
// which case the list is unchanged.
ListNode *ListInsertFront(void *payload, List *list);
ListNode *ListInsertBack(void *payload, List *list);

// Unlinks and releases the first node, counted from the front, that holds
// payload; later nodes with the same payload stay. The head is never
// removed, even for a key equal to its own address.
void ListRemove(void *payload, List *list);

// Releases every node, front to back, then the head. Only a head is
// destroyed: an ordinary node (one whose payload is not itself) is refused
// and left as it is.
void ListDestroy(List *list);

// True for a list that holds no payload (or no list at all).
inline bool ListIsEmpty(const List *list)
{
    return !list || list->next == list;
}

// Walks the list's nodes front to back, head excluded. A node unlinked
// inside the loop must end the walk.
#define ListForEach(node, list) for (ListNode *node = (list)->next; node != (list); node = node->next)
