// Tintvale: every public header of the library.
#ifndef TINTVALE_TINTVALE_H
#define TINTVALE_TINTVALE_H

#include <tintvale/tcgats.h>
#include <tintvale/tcms.h>
#include <tintvale/tspectrum.h>

#endif
