// TElement and TList: an intrusive, doubly linked list that owns its elements and can keep them
// ordered by a compare function.
#ifndef TINTVALE_TLIST_H
#define TINTVALE_TLIST_H

#include <tintvale/texport.h>

// Base of every list element: the two links. Destroying an element does not unlink it.
// Elements cannot be copied (two copies would claim one place in a chain).
class TINTVALE_API TElement {
public:
    TElement() = default;
    TElement(const TElement&) = delete;
    TElement& operator=(const TElement&) = delete;
    virtual ~TElement();

    TElement* Previous() const { return mPrevious; }
    TElement* Next() const { return mNext; }
    // The number of elements before this one (0 for the first or an unlinked element).
    int ListIndex() const;

private:
    friend class TList;

    TElement* mPrevious = nullptr;
    TElement* mNext = nullptr;
};

// The list owns its elements from Add until Subtract hands one back; Destroy and the destructor
// destroy them through their virtual destructors. An element belongs to at most one list.
//
// The compare function is called as compare(element in the list, element being placed): positive
// when the listed element belongs after the new one, 0 when equal, negative when before. With a
// compare function the one-argument Add places by binary search: an element equal to the last goes
// after it, one equal to the first (and less than the last) before it, one equal to an element met
// during the search right after that element. Without one, Add appends.
//
// The current element is tried first by Get(match, key); Subtract moves it off a removed element.
// No operation reports errors; unknown elements and positions give null or -1. Not synchronised.
class TINTVALE_API TList {
public:
    using CompareFunction = int (*)(void*, void*);

    TList() = default;
    explicit TList(CompareFunction compare);
    TList(const TList&) = delete;
    TList& operator=(const TList&) = delete;
    virtual ~TList();

    TElement* First() const { return mFirst; }
    TElement* Last() const { return mLast; }
    TElement* Current() const { return mCurrent; }
    // Not checked for membership.
    void SetCurrent(TElement* el) { mCurrent = el; }

    // Places el by the ordering rule; returns el.
    TElement* Add(TElement* el);
    // Inserts el immediately before `before`, or at the end when before is null; returns el.
    TElement* Add(TElement* before, TElement* el);
    TList& operator+(TElement* el);
    TList& operator-(TElement* el);

    // Counted by walking the chain.
    int Count() const;

    // Destroys every element; the compare function stays.
    virtual void Destroy();
    // Re-places every element by the ordering rule; nothing happens without a compare function.
    virtual void Sort();
    // Unlinks el (not destroying it; the caller owns it again) and returns its former successor.
    // An element of another chain is returned unchanged and nothing changes; null gives null.
    virtual TElement* Subtract(TElement* el);

    // The current element when match(current, key) is 0, else the first such element from the
    // front, else null. Does not change the current element.
    TElement* Get(int (*match)(void*, void*), void* key);
    // i < 1: the first element; otherwise the element i steps after the first, or null.
    TElement* Get(int i) const;
    // el's successor, or the first element when el is null.
    TElement* GetNext(TElement* el) const;
    // 0-based position of el; -1 for null or an element not in this list.
    int Index(const TElement* el) const;

private:
    void Place(TElement* el);
    void LinkAfter(TElement* anchor, TElement* el);
    void LinkBefore(TElement* anchor, TElement* el);
    void DestroyChain();

    TElement* mFirst = nullptr;
    TElement* mLast = nullptr;
    TElement* mCurrent = nullptr;
    CompareFunction mCompare = nullptr;
};

#endif
