// Where the data shipped with the library are found.
#ifndef TINTVALE_QC_SHIPPED_H
#define TINTVALE_QC_SHIPPED_H

#include <tintvale/qc/context.h>

#include <string>

namespace tintvale::qc {

// The shipped data directory name (files with that extension): in options.shipped, beside the
// installed library or program (../share/tintvale/name), else installed, else source; empty when
// none holds such a file.
std::string ShippedDirectory(const CommonOptions& options, const char* name, const char* installed,
    const char* source, const char* extension);

} // namespace tintvale::qc

#endif
