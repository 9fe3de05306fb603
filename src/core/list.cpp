#include "core/list.h"

#include "core/pool.h"

static ListNode *ListNodeAlloc()
{
    ListNode *node = static_cast<ListNode *>(PoolAlloc(sizeof(ListNode)));
    if (node)
        node->payload = nullptr;
    return node;
}

// Gives the block back without touching the neighbours.
static void ListNodeFree(ListNode *node)
{
    if (!node)
        return;
    node->payload = nullptr;
    PoolFree(node, sizeof(ListNode));
}

static void ListNodeRemove(ListNode *node)
{
    if (!node)
        return;
    node->previous->next = node->next;
    node->next->previous = node->previous;
    ListNodeFree(node);
}

static bool IsListHead(const ListNode *node)
{
    return node && node->payload == node;
}

List *ListCreate()
{
    List *head = ListNodeAlloc();
    if (!head)
        return nullptr;
    head->next = head;
    head->previous = head;
    head->payload = head;
    return head;
}

// Links a new node between two neighbours; on an empty list both are the head.
static ListNode *ListInsertBetween(void *payload, ListNode *previous, ListNode *next)
{
    ListNode *node = ListNodeAlloc();
    if (!node)
        return nullptr;
    node->payload = payload;
    node->next = next;
    node->previous = previous;
    previous->next = node;
    next->previous = node;
    return node;
}

ListNode *ListInsertFront(void *payload, List *list)
{
    if (!list)
        return nullptr;
    return ListInsertBetween(payload, list, list->next);
}

ListNode *ListInsertBack(void *payload, List *list)
{
    if (!list)
        return nullptr;
    return ListInsertBetween(payload, list->previous, list);
}

void ListRemove(void *payload, List *list)
{
    if (!list)
        return;
    ListForEach(node, list) {
        if (node->payload == payload) {
            ListNodeRemove(node);
            return;
        }
    }
}

void ListDestroy(List *list)
{
    if (!IsListHead(list))
        return;
    ListNode *node = list->next;
    while (node != list) {
        ListNode *next = node->next;
        ListNodeRemove(node);
        node = next;
    }
    ListNodeFree(list);
}
