// The integration object of the last illuminant and observer asked for, kept per thread: a table of
// spectra under one condition builds it once instead of once a sample.
#ifndef TINTVALE_TILLUMINANTANDOBSERVER_CACHE_H
#define TINTVALE_TILLUMINANTANDOBSERVER_CACHE_H

#include <tintvale/tilluminantandobserver.h>

namespace tintvale::detail {

// TIlluminantAndObserver(illuminant, observer, 36), made anew only when the illuminant object, its
// name or uniform spectrum, or the observer differ from the last call on this thread (an illuminant
// can be changed in place, or a new one made where a released one was). Both must be non-null. The
// reference stays valid until the next call on the same thread.
const TIlluminantAndObserver& ThreadIntegrator(const TIlluminant* illuminant, const TObserver* observer);

} // namespace tintvale::detail

#endif
