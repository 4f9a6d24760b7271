// A value as every front end shows it: text, or a number with a fixed count of decimals (JSON and
// Python keep the full value).
#ifndef TINTVALE_QC_CELL_H
#define TINTVALE_QC_CELL_H

#include <tintvale/qc/export.h>

#include <string>

namespace tintvale::qc {

struct TINTVALE_QC_API Cell {
    Cell(std::string text);
    Cell(const char* text);
    Cell(double number, int decimals);
    Cell(int number);

    bool isNumber = false;
    std::string text;
    double number = 0.0;
    int decimals = 0;

    std::string Shown() const;
};

// A computed value with no more significant digits than a double holds for sure (15), as it is
// written: 0.720193, not the 0.7201930000000001 of a sum's rounding. Values read and left as they
// were are written as read.
TINTVALE_QC_API double Computed(double value);

} // namespace tintvale::qc

#endif
