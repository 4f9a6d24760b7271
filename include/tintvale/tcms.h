// TCMS: enumerations and structures shared across the library's classes.
#ifndef TINTVALE_TCMS_H
#define TINTVALE_TCMS_H

namespace TCMS {

// Density standards (status filter sets); TSpectrum::GetDensityList() gives their display names.
enum FilterStandard : int {
    AnsiA = 0,
    AnsiT = 1,
    Din = 2,
    DinNb = 3,
    IsoStatusA = 4,
    IsoStatusM = 5,
    IsoStatusT = 6,
    IsoStatusE = 7,
    IsoStatusI = 8
};

} // namespace TCMS

#endif
