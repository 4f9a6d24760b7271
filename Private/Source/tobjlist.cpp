// TObj, TObjEl and TObjList: held objects, their reference counts and the scanned object list.
#include <tintvale/tobjfac.h>

TObj::~TObj() = default;

TObjEl::TObjEl(TObj* obj)
    : mObj(obj)
{ }

TObjEl::~TObjEl()
{
    if (mOwnsObject && mObj != nullptr) {
        delete mObj;
        mObj = nullptr;
    }
}

int TObjEl::IsSameContent(const TObj* obj) const { return obj == mObj ? 1 : 0; }

TObjList::iterator& TObjList::iterator::operator++()
{
    if (mEl != nullptr)
        mEl = static_cast<TObjEl*>(mEl->Next());
    return *this;
}

TObjList::const_iterator& TObjList::const_iterator::operator++()
{
    if (mEl != nullptr)
        mEl = static_cast<const TObjEl*>(mEl->Next());
    return *this;
}

TObjList::TObjList()
    : TList(nullptr)
{ }

TObjList::~TObjList()
{
    while (TElement* e = First()) {
        Subtract(e);
        delete e;
    }
}

TObjEl* TObjList::Find(const TObj* obj, bool byContent) const
{
    auto matches = [obj, byContent](const TObjEl* el) {
        return byContent ? el->IsSameContent(obj) != 0 : el->iPtConst() == obj;
    };
    TObjEl* current = static_cast<TObjEl*>(Current());
    if (current != nullptr && matches(current))
        return current;
    for (TElement* e = First(); e != nullptr; e = e->Next()) {
        TObjEl* el = static_cast<TObjEl*>(e);
        if (matches(el))
            return el;
    }
    return nullptr;
}

TObj* TObjList::ScanObject(int restart)
{
    if (restart != 0)
        mScanCursor = nullptr;
    TElement* next = GetNext(mScanCursor);
    if (next == nullptr)
        return nullptr;
    mScanCursor = static_cast<TObjEl*>(next);
    return mScanCursor->iPt();
}

int TObjList::SetCurrentScanObject(TObjEl* el)
{
    mScanCursor = el;
    return 0;
}

TElement* TObjList::Subtract(TElement* el)
{
    // Only move the cursor for an element of this list; a foreign one changes nothing.
    if (el != nullptr && el == mScanCursor && Index(el) >= 0)
        mScanCursor = static_cast<TObjEl*>(el->Previous());
    return TList::Subtract(el);
}
