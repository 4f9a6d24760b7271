// TObjFac and TRandomType: reference counting over the object list and random object names.
#include <tintvale/tobjfac.h>

#include "pindle.h"

#include <cstring>

std::shared_ptr<TRandomType> TObjFac::iRand;

namespace {

// Park and Miller (1988): modulus m = 2^31 - 1, multiplier a = 16807; Schrage's q = m div a and
// r = m mod a keep every intermediate product within 32 bits.
constexpr std::int32_t kModulus = 2147483647;
constexpr std::int32_t kMultiplier = 16807;
constexpr std::int32_t kSchrageQ = 127773;
constexpr std::int32_t kSchrageR = 2836;

constexpr int kNameDigits = 6;

// Seed from two clock readings: (t1 mod 1000) * 10^6 + (t2 mod 1000) * 10^3 + t1 div 1000,
// in 32-bit wrapping arithmetic.
std::int32_t ClockSeed()
{
    const std::int32_t t1 = elapsed(0);
    const std::int32_t t2 = elapsed(0);
    const std::uint32_t seed = static_cast<std::uint32_t>(t1 % 1000) * 1000000u
        + static_cast<std::uint32_t>(t2 % 1000) * 1000u + static_cast<std::uint32_t>(t1 / 1000);
    return static_cast<std::int32_t>(seed);
}

} // namespace

TRandomType::TRandomType(std::int32_t seed)
{
    std::int32_t state = seed % kModulus;
    if (state < 0)
        state += kModulus;
    mState = state == 0 ? 1 : state;
}

// x <- a (x mod q) - r (x div q), plus m when not positive: a x mod m without overflow.
std::int32_t TRandomType::Next()
{
    std::int32_t x = kMultiplier * (mState % kSchrageQ) - kSchrageR * (mState / kSchrageQ);
    if (x <= 0)
        x += kModulus;
    mState = x;
    return x;
}

TObjFac::TObjFac() = default;

TObjFac::~TObjFac() = default;

void TObjFac::IncrRefc(TObj* obj)
{
    if (obj == nullptr)
        return;
    TObjEl* el = mList.Find(obj, false);
    if (el != nullptr) {
        el->RefCpp();
        return;
    }
    mList.Add(TObjFacCreateEl(obj));
    ++mNrObj;
}

void TObjFac::DecrRefc(TObj* obj)
{
    if (obj == nullptr)
        return;
    TObjEl* el = mList.Find(obj, false);
    if (el == nullptr)
        return;
    el->RefCmm();
    if (el->RefC() < 1) {
        mList.Subtract(el);
        delete el;
        if (mNrObj > 0)
            --mNrObj;
    }
}

int TObjFac::GetRefc(TObj* obj)
{
    TObjEl* el = obj == nullptr ? nullptr : mList.Find(obj, false);
    return el == nullptr ? 0 : el->RefC();
}

TObjEl* TObjFac::TObjFacCreateEl(TObj* obj) { return new TObjEl(obj); }

int TObjFac::Clear()
{
    mNrObj = 0;
    mList.Destroy();
    mList.SetCurrentScanObject(nullptr);
    return 0;
}

TObj* TObjFac::ScanObject(int restart) { return mList.ScanObject(restart); }

TObjEl* TObjFac::GetCurrentScanObject() { return mList.GetCurrentScanObject(); }

int TObjFac::SetCurrentScanObject(TObjEl* el) { return mList.SetCurrentScanObject(el); }

int TObjFac::MakeRandomName(const char* prefix, char* out, int size)
{
    if (prefix == nullptr || out == nullptr)
        return -1;
    const std::size_t prefixLength = std::strlen(prefix);
    if (size < 0 || static_cast<std::size_t>(size) < prefixLength + kNameDigits + 1)
        return -1;
    if (!iRand)
        iRand = std::make_shared<TRandomType>(ClockSeed());
    const std::int32_t x = iRand->Next();

    // n = trunc(x * 2^-31 * 100000), formed in single precision; 0 <= n <= 100000.
    float scaled = static_cast<float>(x);
    scaled *= 1.0f / 2147483648.0f;
    scaled *= 100000.0f;
    int n = static_cast<int>(scaled);

    std::memmove(out, prefix, prefixLength);
    for (int d = kNameDigits - 1; d >= 0; --d) {
        out[prefixLength + d] = static_cast<char>('0' + n % 10);
        n /= 10;
    }
    out[prefixLength + kNameDigits] = '\0';
    return 0;
}
