// Cone-response matrices shared by the chromatic adaptation and the appearance spaces.
#ifndef TINTVALE_ADAPTATION_MATRICES_H
#define TINTVALE_ADAPTATION_MATRICES_H

namespace tintvale::detail {

// XYZ to the Bradford sharpened cone responses, by rows.
extern const double kBradford[3][3];
// XYZ to the CAT02 sharpened responses (CIE 159:2004) and to the CAM16 ones (Li et al. 2017).
extern const double kCat02[3][3];
extern const double kCat16[3][3];

// The inverse of a 3 x 3 matrix by its adjugate.
void InvertMatrix(const double (&m)[3][3], double (&inv)[3][3]);

} // namespace tintvale::detail

#endif
