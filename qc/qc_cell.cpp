// Values as shown. The library never changes the C locale, so snprintf writes a decimal point.
#include <tintvale/qc/cell.h>

#include <charconv>
#include <cmath>
#include <cstdio>

namespace tintvale::qc {

Cell::Cell(std::string t)
    : text(std::move(t))
{ }

Cell::Cell(const char* t)
    : text(t ? t : "")
{ }

Cell::Cell(double n, int d)
    : isNumber(true)
    , number(n)
    , decimals(d)
{ }

Cell::Cell(int n)
    : isNumber(true)
    , number(n)
    , decimals(0)
{ }

std::string Cell::Shown() const
{
    if (!isNumber)
        return text;
    if (!std::isfinite(number))
        return "nan";
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, number);
    // "-0.00" reads as a signed difference where there is none.
    std::string shown = buffer;
    if (shown[0] == '-' && shown.find_first_not_of("-0.") == std::string::npos)
        shown.erase(0, 1);
    return shown;
}
double Computed(double value)
{
    constexpr int kDigits = 15; // DBL_DIG: every 15-digit decimal survives a double and back
    if (!std::isfinite(value))
        return value;
    char buffer[64];
    const auto written
        = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, kDigits);
    double rounded = value;
    std::from_chars(buffer, written.ptr, rounded);
    return rounded;
}

} // namespace tintvale::qc
