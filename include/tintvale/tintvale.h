// Tintvale: every public header of the library.
#ifndef TINTVALE_TINTVALE_H
#define TINTVALE_TINTVALE_H

#include <tintvale/tcolorspace.h>
#include <tintvale/tcolorspace_ciecam02.h>
#include <tintvale/tcolorspace_ciecam97s.h>
#include <tintvale/tcolorspacerepresentation.h>
#include <tintvale/tlabspace.h>
#include <tintvale/tspectrum.h>
#include <tintvale/txyzrspace.h>

#endif
