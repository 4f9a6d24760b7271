// Tintvale: every public header of the library.
#ifndef TINTVALE_TINTVALE_H
#define TINTVALE_TINTVALE_H

#include <tintvale/jsonhelpers.h>
#include <tintvale/neuralnetworkhelpers.h>
#include <tintvale/streambufext.h>
#include <tintvale/streamhelpers.h>
#include <tintvale/tappearancemodel.h>
#include <tintvale/tatomicfile.h>
#include <tintvale/tcachefile.h>
#include <tintvale/tcgats.h>
#include <tintvale/tchromaticadaptation.h>
#include <tintvale/tcms.h>
#include <tintvale/tcms_illegalcharacters.h>
#include <tintvale/tcolorspace.h>
#include <tintvale/tcolorspace_appearance.h>
#include <tintvale/tcolorspace_ciecam02.h>
#include <tintvale/tcolorspace_ciecam97s.h>
#include <tintvale/tcolorspacerepresentation.h>
#include <tintvale/temissionspectrum.h>
#include <tintvale/tfineintegration.h>
#include <tintvale/tilluminant.h>
#include <tintvale/tilluminantandobserver.h>
#include <tintvale/tilluminantfactory.h>
#include <tintvale/tlabmeasurement.h>
#include <tintvale/tlabspace.h>
#include <tintvale/tlightsource.h>
#include <tintvale/tlist.h>
#include <tintvale/tmeasgeom.h>
#include <tintvale/tmessages.h>
#include <tintvale/tobjfac.h>
#include <tintvale/tobserver.h>
#include <tintvale/tonemeasurement.h>
#include <tintvale/treflectionspectrum.h>
#include <tintvale/tspectrum.h>
#include <tintvale/tsrgb.h>
#include <tintvale/txyzmeasurement.h>
#include <tintvale/txyzrspace.h>
#include <tintvale/version.h>

#endif
