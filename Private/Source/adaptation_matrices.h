// Cone-response matrices shared by the chromatic adaptation and the appearance spaces.
#ifndef TINTVALE_ADAPTATION_MATRICES_H
#define TINTVALE_ADAPTATION_MATRICES_H

namespace tintvale::detail {

// XYZ to the Bradford sharpened cone responses, by rows.
extern const double kBradford[3][3];

} // namespace tintvale::detail

#endif
