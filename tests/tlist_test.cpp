// TList and TElement: ordered placement, sorting, removal, look-ups and ownership.
#include <tintvale/tlist.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Keyed : TElement {
    Keyed(int k, int tag = 0, int* destroyed = nullptr)
        : key(k)
        , tag(tag)
        , destroyed(destroyed)
    { }
    ~Keyed() override { destroyed && ++*destroyed; }
    int key, tag;
    int* destroyed;
};

int CompareKeys(void* inList, void* placed)
{
    return static_cast<Keyed*>(static_cast<TElement*>(inList))->key
        - static_cast<Keyed*>(static_cast<TElement*>(placed))->key;
}

int gCompareCalls = 0;
int CompareCounting(void* inList, void* placed) { return ++gCompareCalls, CompareKeys(inList, placed); }

int MatchKey(void* element, void* key)
{
    return static_cast<Keyed*>(static_cast<TElement*>(element))->key == *static_cast<int*>(key) ? 0 : 1;
}

Keyed* K(TElement* e) { return static_cast<Keyed*>(e); }

// The keys (or tags) from first to last; the links must agree in both directions and with the anchors.
std::vector<int> Keys(const TList& list, int Keyed::*field = &Keyed::key)
{
    std::vector<int> values;
    TElement* previous = nullptr;
    for (TElement* e = list.First(); e != nullptr; previous = e, e = e->Next()) {
        EXPECT_EQ(e->Previous(), previous);
        values.push_back(K(e)->*field);
    }
    EXPECT_EQ(list.Last(), previous);
    return values;
}

} // namespace

TEST(TListPlacement, EqualKeysAfterLastBeforeFirstAfterSearchHit)
{
    TList list(CompareKeys);
    for (auto [k, tag] : { std::pair { 1, 1 }, { 3, 2 }, { 3, 3 }, { 1, 4 } })
        list.Add(new Keyed(k, tag)); // equal to the last: after it; to the first: before it
    EXPECT_EQ(Keys(list, &Keyed::tag), (std::vector<int> { 4, 1, 2, 3 }));

    // Within the list: an equal element met by the search gets the newcomer right after it.
    TList inner(CompareKeys);
    for (int k : { 0, 2, 4, 6, 8, 4 })
        inner.Add(new Keyed(k, k == 4 && inner.Count() == 5 ? 99 : k)); // the search meets 4 first
    EXPECT_EQ(Keys(inner, &Keyed::tag), (std::vector<int> { 0, 2, 4, 99, 6, 8 }));

    TList many(CompareCounting);
    std::vector<int> expected;
    for (int i = 0; i < 257; ++i)
        many.Add(new Keyed((i * 97) % 257)), expected.push_back(i);
    EXPECT_EQ(Keys(many), expected);
    gCompareCalls = 0;
    many.Add(new Keyed(128));
    EXPECT_LE(gCompareCalls, 2 + 10); // two end checks and at most ~log2(257) + 1 probes
}

TEST(TListPlacement, TwoArgumentAddIgnoresOrderAndSortRestoresIt)
{
    TList list(CompareKeys);
    Keyed* five = static_cast<Keyed*>(list.Add(nullptr, new Keyed(5)));
    list.Add(nullptr, new Keyed(2));
    list.Add(five, new Keyed(9)); // before 5, at the front
    list.Add(nullptr, new Keyed(1));
    EXPECT_EQ(Keys(list), (std::vector<int> { 9, 5, 2, 1 }));
    list.SetCurrent(five);
    list.Sort();
    EXPECT_TRUE(Keys(list) == (std::vector<int> { 1, 2, 5, 9 }) && list.Current() == five);

    // Without a compare function Add appends and Sort keeps the order.
    TList plain;
    for (int k : { 3, 1, 2 })
        plain + new Keyed(k);
    plain.Sort();
    EXPECT_EQ(Keys(plain), (std::vector<int> { 3, 1, 2 }));
}

TEST(TListSubtract, UnlinksAndHandsBackOwnershipButLeavesForeignElements)
{
    int destroyed = 0;
    TList list(CompareKeys), other(CompareKeys);
    std::vector<Keyed*> el;
    for (int k = 1; k <= 4; ++k) {
        el.push_back(static_cast<Keyed*>(list.Add(new Keyed(k, 0, &destroyed))));
        other.Add(new Keyed(10 + k));
    }
    list.SetCurrent(el[1]);
    EXPECT_TRUE(list.Subtract(el[1]) == el[2] && list.Current() == el[2]);
    EXPECT_TRUE(el[1]->Previous() == nullptr && el[1]->Next() == nullptr);
    list.SetCurrent(el[3]);
    EXPECT_TRUE(list.Subtract(el[3]) == nullptr && list.Current() == el[2]);
    EXPECT_EQ(list.Subtract(nullptr), nullptr);
    TElement* foreign = other.Get(1);
    EXPECT_EQ(list.Subtract(foreign), foreign);
    list - other.First();
    Keyed loose(7);
    EXPECT_TRUE((TList().Subtract(&loose)) == (&loose) && Keys(list) == (std::vector<int> { 1, 3 }));
    EXPECT_TRUE(Keys(other) == (std::vector<int> { 11, 12, 13, 14 }) && destroyed == 0);
    delete el[1];
    delete el[3];
    EXPECT_EQ(destroyed, 2);
}

TEST(TListLookup, ByPositionMatchAndIndex)
{
    TList list(CompareKeys);
    for (int k : { 10, 20, 30 })
        list.Add(new Keyed(k));
    EXPECT_TRUE(K(list.Get(-5))->key == 10 && K(list.Get(2))->key == 30);
    EXPECT_TRUE(list.Get(list.Count()) == nullptr && list.GetNext(nullptr) == list.First());
    EXPECT_TRUE(list.GetNext(list.Last()) == nullptr && list.Index(list.Get(1)) == 1);
    EXPECT_EQ(list.Get(2)->ListIndex(), 2);
    Keyed outside(20);
    EXPECT_TRUE(list.Index(&outside) == -1 && outside.ListIndex() == 0);

    int key = 25;
    EXPECT_EQ(list.Get(MatchKey, &key), nullptr);
    // Equal matches: the current element first, else the earliest.
    TElement* second = list.Add(new Keyed(20, 2));
    key = 20;
    EXPECT_EQ(list.Get(MatchKey, &key), list.Get(1));
    list.SetCurrent(second);
    EXPECT_TRUE((list.Get(MatchKey, &key)) == second && list.Current() == second);
}
