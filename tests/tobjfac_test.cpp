// TObj, TObjEl, TObjList and TObjFac: reference counting, scanning, look-ups and random names.
#include <tintvale/tobjfac.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

namespace {

struct Counted : TObj {
    explicit Counted(int* destroyed, int value = 0)
        : destroyed(destroyed)
        , value(value)
    { }
    ~Counted() override { ++*destroyed; }
    int* destroyed;
    int value;
};

// Elements that compare contents instead of identity.
struct ValueEl : TObjEl {
    using TObjEl::TObjEl;
    int IsSameContent(const TObj* obj) const override
    {
        auto* a = dynamic_cast<const Counted*>(iPtConst());
        auto* b = dynamic_cast<const Counted*>(obj);
        return a != nullptr && b != nullptr && a->value == b->value;
    }
};

// Opens the protected registration calls to the tests.
struct Factory : TObjFac {
    using TObjFac::IncrRefc;
    using TObjFac::ObjList;
};

struct ValueFactory : Factory {
    TObjEl* TObjFacCreateEl(TObj* obj) override { return new ValueEl(obj); }
};

} // namespace

TEST(TObjFacScan, ScanningWhileReleasing)
{
    int destroyed = 0;
    Factory fac;
    Counted* obj[3];
    for (auto*& o : obj)
        fac.IncrRefc(o = new Counted(&destroyed));
    EXPECT_EQ(fac.ScanObject(1), obj[0]);
    fac.DecrRefc(obj[0]);
    EXPECT_TRUE(fac.GetCurrentScanObject() == nullptr && fac.ScanObject(0) == obj[1]);
    EXPECT_EQ(fac.ScanObject(0), obj[2]);
    // Releasing the last scanned object leaves the cursor on its predecessor: the scan is at its end.
    fac.DecrRefc(obj[2]);
    EXPECT_TRUE(fac.ScanObject(0) == nullptr && fac.GetCurrentScanObject()->iPt() == obj[1]);
    EXPECT_TRUE(fac.ScanObject(1) == obj[1] && fac.ScanObject(0) == nullptr);

    // Releasing every object during one scan visits each exactly once, front to back.
    Factory all;
    for (int i = 1; i <= 5; ++i)
        all.IncrRefc(new Counted(&destroyed, i));
    int visited = 0;
    for (TObj* o = all.ScanObject(1); o != nullptr; o = all.ScanObject(0)) {
        visited = visited * 10 + static_cast<Counted*>(o)->value;
        all.DecrRefc(o);
    }
    EXPECT_TRUE(visited == 12345 && all.GetNrObj() == 0 && destroyed == 7);
}

TEST(TObjListFind, ByIdentityOrContentTriesCurrentThenEarliest)
{
    int destroyed = 0;
    TObjList list;
    auto* obj = new Counted(&destroyed);
    // Two elements holding the same (null) object, so that neither destroys it twice.
    auto* emptyA = static_cast<TObjEl*>(list.Add(new TObjEl(nullptr)));
    auto* held = static_cast<TObjEl*>(list.Add(new TObjEl(obj)));
    auto* emptyB = static_cast<TObjEl*>(list.Add(new TObjEl(nullptr)));
    EXPECT_EQ(list.Find(nullptr, false), emptyA);
    list.SetCurrent(emptyB);
    EXPECT_TRUE(list.Find(nullptr, false) == emptyB && list.Find(obj, false) == held);
    Counted stranger(&destroyed);
    EXPECT_TRUE(list.Find(&stranger, false) == nullptr && list.Find(&stranger, true) == nullptr);

    ValueFactory fac;
    auto* a = new Counted(&destroyed, 4);
    auto* b = new Counted(&destroyed, 4);
    fac.IncrRefc(a);
    fac.IncrRefc(b);
    TObjEl* elB = fac.ObjList().Find(b, false);
    EXPECT_EQ(elB->iPt(), b);
    // By content both match: the earlier unless the current one does.
    Counted probe(&destroyed, 4);
    EXPECT_EQ(fac.ObjList().Find(&probe, true), fac.ObjList().Find(a, false));
    fac.ObjList().SetCurrent(elB);
    EXPECT_EQ(fac.ObjList().Find(&probe, true), elB);
    probe.value = 5;
    EXPECT_EQ(fac.ObjList().Find(&probe, true), nullptr);
}

// Park and Miller (1988): from seed 1, the 10000th value of the minimal standard generator is
// 1043618065.
TEST(TObjFacRandom, MinimalStandardCheckValueAndNameBufferLimits)
{
    TRandomType r(1);
    std::int32_t x = 0;
    for (int i = 0; i < 10000; ++i)
        x = r.Next();
    EXPECT_TRUE(x == 1043618065 && TRandomType(0).State() == 1);
    EXPECT_TRUE(TRandomType(2147483647).State() == 1 && TRandomType(-1).State() == 2147483646);
    // Random names: prefix and six digits, within the buffer or not at all.
    char out[16];
    std::memset(out, 'x', sizeof out);
    EXPECT_TRUE(TObjFac::MakeRandomName("ill", out, 9) == -1 && out[0] == 'x');
    ASSERT_EQ(TObjFac::MakeRandomName("ill", out, 10), 0);
    EXPECT_EQ(std::string(out, 3), "ill");
    for (int i = 3; i < 9; ++i)
        EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(out[i]))) << out;
    EXPECT_TRUE(out[9] == '\0' && out[10] == 'x' && TObjFac::MakeRandomName(nullptr, out, 16) == -1);
    EXPECT_TRUE(TObjFac::MakeRandomName("", nullptr, 16) == -1 && TObjFac::MakeRandomName("", out, -3) == -1);
}
