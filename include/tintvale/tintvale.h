// Tintvale: every public header of the library.
#ifndef TINTVALE_TINTVALE_H
#define TINTVALE_TINTVALE_H

#include <tintvale/jsonhelpers.h>
#include <tintvale/neuralnetworkhelpers.h>
#include <tintvale/streambufext.h>
#include <tintvale/streamhelpers.h>
#include <tintvale/tcachefile.h>
#include <tintvale/tcms.h>
#include <tintvale/tcms_illegalcharacters.h>
#include <tintvale/tspectrum.h>

#endif
