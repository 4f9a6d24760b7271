// The object model on top of TList: TObj, the root of objects a factory can own and share;
// TObjEl, a list element holding one object and its reference count; TObjList, a list of them with
// a scan cursor and iterators; TObjFac, a factory base that counts references and destroys an object
// with its last release; TRandomType, the generator behind TObjFac::MakeRandomName.
#ifndef TINTVALE_TOBJFAC_H
#define TINTVALE_TOBJFAC_H

#include <tintvale/texport.h>
#include <tintvale/tlist.h>

#include <cstdint>
#include <memory>

// Polymorphic root of factory-owned objects.
class TINTVALE_API TObj {
public:
    TObj() = default;
    TObj(const TObj&) = default;
    TObj& operator=(const TObj&) = default;
    virtual ~TObj();
};

// One object with its reference count (starting at 1). The element owns the object and destroys
// it with itself. Elements cannot be copied: two copies would own one object.
class TINTVALE_API TObjEl : public TElement {
public:
    explicit TObjEl(TObj* obj);
    TObjEl(const TObjEl&) = delete;
    TObjEl& operator=(const TObjEl&) = delete;
    ~TObjEl() override;

    // Non-zero when this element holds obj; this base class tests identity, derived elements may
    // compare contents.
    virtual int IsSameContent(const TObj* obj) const;

    TObj* iPt() { return mObj; }
    const TObj* iPtConst() const { return mObj; }
    int RefC() const { return mRefCount; }
    void RefCpp() { ++mRefCount; }
    void RefCmm() { --mRefCount; }
    // 1 when the count is 0 or less.
    int NoRefs() const { return mRefCount <= 0 ? 1 : 0; }
    int ErrNo() const { return mError; }

private:
    TObj* mObj;
    bool mOwnsObject = true;
    int mRefCount = 1;
    int mError = 0;
};

// A list of TObjEl elements (only TObjEl or derived elements may be added), unordered, with a scan
// cursor that survives the removal of the element it stands on.
class TINTVALE_API TObjList : public TList {
public:
    class TINTVALE_API iterator {
    public:
        explicit iterator(TObjEl* el = nullptr)
            : mEl(el)
        { }
        iterator& operator++();
        bool operator==(const iterator& other) const { return mEl == other.mEl; }
        bool operator!=(const iterator& other) const { return mEl != other.mEl; }
        TObjEl& operator*() const { return *mEl; }
        TObjEl* operator->() const { return mEl; }

    private:
        TObjEl* mEl;
    };

    class TINTVALE_API const_iterator {
    public:
        explicit const_iterator(const TObjEl* el = nullptr)
            : mEl(el)
        { }
        const_iterator& operator++();
        bool operator==(const const_iterator& other) const { return mEl == other.mEl; }
        bool operator!=(const const_iterator& other) const { return mEl != other.mEl; }
        const TObjEl& operator*() const { return *mEl; }
        const TObjEl* operator->() const { return mEl; }

    private:
        const TObjEl* mEl;
    };

    TObjList();
    ~TObjList() override;

    // The first element holding obj (byContent false) or whose IsSameContent(obj) is non-zero
    // (byContent true), trying the current element first; null when none.
    TObjEl* Find(const TObj* obj, bool byContent) const;

    // Restart non-zero starts again from the front. Returns the object of the element after the
    // cursor and moves the cursor there, or null at the end (the cursor then stays).
    TObj* ScanObject(int restart);
    TObjEl* GetCurrentScanObject() const { return mScanCursor; }
    int SetCurrentScanObject(TObjEl* el);

    // Moves the scan cursor back to el's predecessor first when it stands on el, so that the next
    // scan continues with el's successor.
    TElement* Subtract(TElement* el) override;

    iterator begin() { return iterator(static_cast<TObjEl*>(First())); }
    iterator end() { return iterator(); }
    const_iterator begin() const { return cbegin(); }
    const_iterator end() const { return cend(); }
    const_iterator cbegin() const { return const_iterator(static_cast<const TObjEl*>(First())); }
    const_iterator cend() const { return const_iterator(); }

    int ErrNo() const { return mError; }

private:
    int mError = 0;
    TObjEl* mScanCursor = nullptr;
};

// The minimal standard generator of Park and Miller, "Random number generators: good ones are hard
// to find", Comm. ACM 31(10), 1988: x <- 16807 x mod (2^31 - 1), by Schrage's decomposition.
class TINTVALE_API TRandomType {
public:
    // The state becomes seed mod (2^31 - 1) taken non-negative, or 1 when that is 0.
    explicit TRandomType(std::int32_t seed);
    // Advances once and returns the new state, 1 ... 2^31 - 2.
    std::int32_t Next();
    std::int32_t State() const { return mState; }

private:
    std::int32_t mState;
};

// Factory base: keeps each registered object in its list with a reference count, destroys it when
// the count falls below 1, and destroys everything left with itself. Hosts derive their factories
// from it. Error numbers stay 0. Not synchronised, MakeRandomName included.
class TINTVALE_API TObjFac {
public:
    TObjFac();
    TObjFac(const TObjFac&) = delete;
    TObjFac& operator=(const TObjFac&) = delete;
    virtual ~TObjFac();

    // Releases one reference to obj; the last release destroys it. Null or unknown obj is ignored.
    void DecrRefc(TObj* obj);

    virtual TObj* ScanObject(int restart);
    virtual TObjEl* GetCurrentScanObject();
    virtual int SetCurrentScanObject(TObjEl* el);

    // The number of distinct registered objects.
    int GetNrObj() const { return mNrObj; }
    int ErrNo() const { return mError; }

    // Writes prefix followed by a six-digit random number and a terminating zero into out.
    // Returns 0, or -1 (writing nothing) when size < strlen(prefix) + 7 or a pointer is null.
    static int MakeRandomName(const char* prefix, char* out, int size);

    // The process-wide generator of MakeRandomName; empty until its first call, which seeds it
    // from two readings of the Pindle clock.
    static std::shared_ptr<TRandomType> iRand;

protected:
    // Takes a reference to obj; the first adopts it (the factory then owns it) with count 1.
    void IncrRefc(TObj* obj);
    // The reference count of obj, 0 when it is not registered.
    int GetRefc(TObj* obj);
    // Destroys every element and so every object; returns 0.
    virtual int Clear();
    // A new heap element holding obj, count 1, owning it. Derived factories may return their own
    // TObjEl subclass.
    virtual TObjEl* TObjFacCreateEl(TObj* obj);

    TObjList& ObjList() { return mList; }
    const TObjList& ObjList() const { return mList; }

private:
    TObjList mList;
    int mNrObj = 0;
    int mError = 0;
};

#endif
