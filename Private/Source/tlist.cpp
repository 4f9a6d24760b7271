// TElement and TList: linking, ordered placement by binary search, removal and look-ups.
#include <tintvale/tlist.h>

TElement::~TElement() = default;

int TElement::ListIndex() const
{
    int index = 0;
    for (const TElement* e = mPrevious; e != nullptr; e = e->mPrevious)
        ++index;
    return index;
}

TList::TList(CompareFunction compare)
    : mCompare(compare)
{ }

TList::~TList() { DestroyChain(); }

void TList::DestroyChain()
{
    TElement* e = mFirst;
    while (e != nullptr) {
        TElement* next = e->mNext;
        delete e;
        e = next;
    }
    mFirst = mLast = mCurrent = nullptr;
}

void TList::Destroy() { DestroyChain(); }

void TList::LinkAfter(TElement* anchor, TElement* el)
{
    el->mPrevious = anchor;
    el->mNext = anchor->mNext;
    if (anchor->mNext != nullptr)
        anchor->mNext->mPrevious = el;
    else
        mLast = el;
    anchor->mNext = el;
}

void TList::LinkBefore(TElement* anchor, TElement* el)
{
    el->mNext = anchor;
    el->mPrevious = anchor->mPrevious;
    if (anchor->mPrevious != nullptr)
        anchor->mPrevious->mNext = el;
    else
        mFirst = el;
    anchor->mPrevious = el;
}

// Ordered placement: appended when not less than the last, put in front when not greater than
// the first, otherwise inserted after the element a binary search over the links ends on.
void TList::Place(TElement* el)
{
    if (mFirst == nullptr) {
        el->mPrevious = el->mNext = nullptr;
        mFirst = mLast = el;
        return;
    }
    if (mCompare == nullptr || mCompare(mLast, el) <= 0) {
        LinkAfter(mLast, el);
        return;
    }
    if (mCompare(mFirst, el) >= 0) {
        LinkBefore(mFirst, el);
        return;
    }
    // Invariant: lo is before el, p after it (or equal when the search stops on it).
    TElement* lo = mFirst;
    TElement* p = mLast;
    while (lo != p) {
        // Middle of lo..p: the lower middle for an even count, lo for two adjacent elements.
        TElement* forward = lo;
        TElement* backward = p;
        while (forward != backward) {
            TElement* left = backward;
            backward = backward->mPrevious;
            if (forward->mNext != left)
                forward = forward->mNext;
        }
        TElement* m = forward;
        const int c = mCompare(m, el);
        if (c > 0) {
            if (m == p)
                break;
            p = m;
        } else if (c == 0 || m == lo) {
            p = m;
            break;
        } else {
            lo = m;
        }
    }
    LinkAfter(p, el);
}

TElement* TList::Add(TElement* el)
{
    if (el != nullptr)
        Place(el);
    return el;
}

TElement* TList::Add(TElement* before, TElement* el)
{
    if (el == nullptr)
        return el;
    if (before == nullptr) {
        if (mLast == nullptr) {
            el->mPrevious = el->mNext = nullptr;
            mFirst = mLast = el;
        } else {
            LinkAfter(mLast, el);
        }
    } else {
        LinkBefore(before, el);
    }
    return el;
}

TList& TList::operator+(TElement* el)
{
    Add(el);
    return *this;
}

TList& TList::operator-(TElement* el)
{
    Subtract(el);
    return *this;
}

int TList::Count() const
{
    int count = 0;
    for (const TElement* e = mFirst; e != nullptr; e = e->mNext)
        ++count;
    return count;
}

void TList::Sort()
{
    if (mFirst == nullptr || mCompare == nullptr)
        return;
    TElement* e = mFirst;
    mFirst = mLast = nullptr;
    while (e != nullptr) {
        TElement* next = e->mNext;
        e->mPrevious = e->mNext = nullptr;
        Place(e);
        e = next;
    }
}

TElement* TList::Subtract(TElement* el)
{
    if (el == nullptr)
        return nullptr;
    const TElement* front = el;
    while (front->mPrevious != nullptr)
        front = front->mPrevious;
    if (front != mFirst)
        return el;

    TElement* next = el->mNext;
    TElement* previous = el->mPrevious;
    if (previous != nullptr)
        previous->mNext = next;
    else
        mFirst = next;
    if (next != nullptr)
        next->mPrevious = previous;
    else
        mLast = previous;
    if (mCurrent == el)
        mCurrent = next != nullptr ? next : mLast;
    el->mPrevious = el->mNext = nullptr;
    return next;
}

TElement* TList::Get(int (*match)(void*, void*), void* key)
{
    if (match == nullptr)
        return nullptr;
    if (mCurrent != nullptr && match(mCurrent, key) == 0)
        return mCurrent;
    for (TElement* e = mFirst; e != nullptr; e = e->mNext) {
        if (match(e, key) == 0)
            return e;
    }
    return nullptr;
}

TElement* TList::Get(int i) const
{
    TElement* e = mFirst;
    for (int step = 0; step < i && e != nullptr; ++step)
        e = e->mNext;
    return e;
}

TElement* TList::GetNext(TElement* el) const { return el == nullptr ? mFirst : el->mNext; }

int TList::Index(const TElement* el) const
{
    if (el == nullptr)
        return -1;
    int index = 0;
    for (const TElement* e = mFirst; e != nullptr; e = e->mNext, ++index) {
        if (e == el)
            return index;
    }
    return -1;
}
