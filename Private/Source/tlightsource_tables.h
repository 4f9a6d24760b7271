// The reflectances of the colour samples the light-source indices are computed on.
#ifndef TINTVALE_TLIGHTSOURCE_TABLES_H
#define TINTVALE_TLIGHTSOURCE_TABLES_H

namespace lightsource {

constexpr int kSampleStep = 5;
// CIE 13.3-1995 TCS01 ... TCS14, 360 ... 830 nm.
constexpr int kNrTcs = 14;
constexpr int kTcsFirst = 360;
constexpr int kNrTcsRows = 95;
extern const double kTestColourSamples[kNrTcs][kNrTcsRows];
// CIE 224:2017 CES01 ... CES99, 380 ... 780 nm.
constexpr int kNrCes = 99;
constexpr int kCesFirst = 380;
constexpr int kCesLast = 780;
constexpr int kNrCesRows = 81;
extern const double kEvaluationSamples[kNrCes][kNrCesRows];

} // namespace lightsource

#endif
