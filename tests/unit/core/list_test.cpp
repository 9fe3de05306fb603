#include "core/list.h"

#include "core/pool.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<void *> Walk(List *list)
{
    std::vector<void *> payloads;
    ListForEach(node, list)
        payloads.push_back(node->payload);
    return payloads;
}

std::vector<void *> WalkBackwards(List *list)
{
    std::vector<void *> payloads;
    for (ListNode *node = list->previous; node != list; node = node->previous)
        payloads.push_back(node->payload);
    return payloads;
}

int a, b, c;

TEST(List, CreateMakesASelfLinkedHead)
{
    List *list = ListCreate();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->next, list);
    EXPECT_EQ(list->previous, list);
    EXPECT_EQ(list->payload, list);
    ListDestroy(list);
}

TEST(List, InsertsAtBothEndsKeepBothDirectionsConsistent)
{
    List *front = ListCreate();
    ListInsertFront(&a, front);
    ListInsertFront(&b, front);
    ListInsertFront(&c, front);
    EXPECT_EQ(Walk(front), (std::vector<void *>{&c, &b, &a}));
    EXPECT_EQ(WalkBackwards(front), (std::vector<void *>{&a, &b, &c}));

    List *back = ListCreate();
    ListNode *node = ListInsertBack(&a, back);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->payload, &a);
    ListInsertBack(&b, back);
    ListInsertBack(&c, back);
    EXPECT_EQ(Walk(back), (std::vector<void *>{&a, &b, &c}));
    EXPECT_EQ(WalkBackwards(back), (std::vector<void *>{&c, &b, &a}));
    ListDestroy(front);
    ListDestroy(back);
}

TEST(List, RemoveTakesOnlyTheFirstMatch)
{
    List *list = ListCreate();
    ListInsertBack(&a, list);
    ListInsertBack(&b, list);
    ListInsertBack(&a, list);
    ListRemove(&a, list);
    EXPECT_EQ(Walk(list), (std::vector<void *>{&b, &a}));
    EXPECT_EQ(WalkBackwards(list), (std::vector<void *>{&a, &b}));
    ListDestroy(list);
}

TEST(List, RemoveOfAnAbsentKeyOrTheHeadChangesNothing)
{
    List *empty = ListCreate();
    ListRemove(&a, empty);
    ListRemove(empty, empty);
    EXPECT_EQ(empty->next, empty);
    EXPECT_EQ(empty->previous, empty);
    EXPECT_EQ(empty->payload, empty);

    List *list = ListCreate();
    ListInsertBack(&a, list);
    ListRemove(&b, list);
    ListRemove(list, list);
    EXPECT_EQ(list->payload, list);
    EXPECT_EQ(Walk(list), (std::vector<void *>{&a}));
    ListDestroy(empty);
    ListDestroy(list);
}

TEST(List, RemoveComparesPointerValuesOnly)
{
    List *list = ListCreate();
    void *released = PoolAlloc(40);
    ListInsertBack(&a, list);
    ListInsertBack(released, list);
    ListInsertBack(nullptr, list);
    PoolFree(released, 40);  // the key is never dereferenced
    ListRemove(released, list);
    EXPECT_EQ(Walk(list), (std::vector<void *>{&a, nullptr}));
    ListRemove(nullptr, list);
    EXPECT_EQ(Walk(list), (std::vector<void *>{&a}));
    ListDestroy(list);
}

TEST(List, DestroyRefusesAnOrdinaryNode)
{
    List *list = ListCreate();
    ListNode *node = ListInsertBack(&a, list);
    ListDestroy(node);
    EXPECT_EQ(Walk(list), (std::vector<void *>{&a}));
    EXPECT_EQ(node->payload, &a);
    ListDestroy(list);
}

TEST(List, DestroyGivesNodesFrontToBackThenTheHeadToThePool)
{
    List *list = ListCreate();
    ListNode *first = ListInsertBack(&a, list);
    ListNode *second = ListInsertBack(&b, list);
    ListDestroy(list);
    // Node-sized blocks come back last released, first out.
    void *again[3] = {PoolAlloc(sizeof(ListNode)), PoolAlloc(sizeof(ListNode)),
                      PoolAlloc(sizeof(ListNode))};
    EXPECT_EQ(again[0], list);
    EXPECT_EQ(again[1], second);
    EXPECT_EQ(again[2], first);
    for (void *block : again)
        PoolFree(block, sizeof(ListNode));
}

TEST(List, NullListsAreRefused)
{
    EXPECT_EQ(ListInsertFront(&a, nullptr), nullptr);
    EXPECT_EQ(ListInsertBack(&a, nullptr), nullptr);
    ListRemove(&a, nullptr);
    ListDestroy(nullptr);
    EXPECT_TRUE(ListIsEmpty(nullptr));
}

}  // namespace
