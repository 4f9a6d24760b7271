// Tintvale: every public header of the library.
#ifndef TINTVALE_TINTVALE_H
#define TINTVALE_TINTVALE_H

#include <tintvale/tcachefile.h>
#include <tintvale/tcms_illegalcharacters.h>
#include <tintvale/tspectrum.h>

#endif
