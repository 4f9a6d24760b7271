// TCgatsValueList: the Int, Double and String columns of a CGATS table.
#include "tcgatsvaluelist.h"

#include "numtext.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

using tintvale::detail::AtofC;
using tintvale::detail::AtoiC;

namespace {

int Count(int n) { return std::max(n, 0); }

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// atoi and atof over a range: leading white space skipped, the leading number taken, else 0.
int RangeToInt(const char* first, const char* last)
{
    while (first < last && IsSpace(*first))
        ++first;
    int value = 0; // ParseInt leaves it when no number leads
    tintvale::detail::ParseInt(first, last, value);
    return value;
}

double RangeToDouble(const char* first, const char* last)
{
    while (first < last && IsSpace(*first))
        ++first;
    double value = 0.0; // ParseDouble leaves it when no number leads
    tintvale::detail::ParseDouble(first, last, value);
    return value;
}

// The number that first ... last holds whole, blanks around it allowed.
bool CompleteNumber(const char* first, const char* last, double& value)
{
    while (first < last && IsSpace(*first))
        ++first;
    while (last > first && IsSpace(last[-1]))
        --last;
    return tintvale::detail::ParseDouble(first, last, value) == last && first < last;
}

template <class Vector> bool InRange(const Vector& v, int sample)
{
    return sample >= 0 && static_cast<std::size_t>(sample) < v.size();
}

} // namespace

TCgatsValueListInt::TCgatsValueListInt(int count)
    : values(Count(count), 0)
{ }

void TCgatsValueListInt::SetValue(int sample, const char* text) { Set(sample, AtoiC(text)); }

void TCgatsValueListInt::SetValue(int sample, const char* first, const char* last)
{
    Set(sample, RangeToInt(first, last));
}

void TCgatsValueListInt::Set(int sample, int value)
{
    if (InRange(values, sample))
        values[sample] = value;
}

int TCgatsValueListInt::GetInt(int sample) const { return InRange(values, sample) ? values[sample] : 0; }

double TCgatsValueListInt::GetDouble(int sample) const { return GetInt(sample); }

TCgatsValueListDouble::TCgatsValueListDouble(int count)
    : values(Count(count), 0.0)
{ }

void TCgatsValueListDouble::SetValue(int sample, const char* text) { Set(sample, AtofC(text)); }

void TCgatsValueListDouble::SetValue(int sample, const char* first, const char* last)
{
    Set(sample, RangeToDouble(first, last));
}

void TCgatsValueListDouble::Set(int sample, double value)
{
    if (InRange(values, sample))
        values[sample] = value;
}

bool TCgatsValueListDouble::SetNumber(int sample, const char* first, const char* last)
{
    double value = 0.0;
    const bool complete = CompleteNumber(first, last, value);
    Set(sample, complete ? value : std::numeric_limits<double>::quiet_NaN());
    return complete;
}

int TCgatsValueListDouble::GetInt(int sample) const
{
    const double v = GetDouble(sample);
    if (std::isnan(v))
        return 0;
    if (v >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (v <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(v);
}

double TCgatsValueListDouble::GetDouble(int sample) const
{
    return InRange(values, sample) ? values[sample] : 0.0;
}

TCgatsValueListString::TCgatsValueListString(int count)
    : values(Count(count))
{ }

void TCgatsValueListString::SetValue(int sample, const char* text)
{
    if (!InRange(values, sample))
        return;
    if (text)
        values[sample] = std::string(text);
    else
        values[sample].reset();
}

void TCgatsValueListString::SetValue(int sample, const char* first, const char* last)
{
    if (InRange(values, sample))
        values[sample] = std::string(first, last);
}

const char* TCgatsValueListString::GetString(int sample) const
{
    if (!InRange(values, sample) || !values[sample])
        return nullptr;
    return values[sample]->c_str();
}
