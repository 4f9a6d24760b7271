// Colour appearance of a chart's samples: what `tintvale appearance` shows.
#ifndef TINTVALE_QC_APPEARANCE_H
#define TINTVALE_QC_APPEARANCE_H

#include <tintvale/qc/export.h>

#include <tintvale/qc/compare.h>
#include <tintvale/qc/context.h>
#include <tintvale/qc/report.h>

#include <string>
#include <vector>

namespace tintvale::qc {

struct AppearanceOptions {
    std::string model = "CAM16"; // CIECAM02, CAM16 or CIECAM16
    ViewingOptions viewing;
    std::vector<double> white; // X, Y, Z; empty: the white of the conditions used
    int table = -1; // negative: the first table with colour data
};

// The sections "appearance" (J, C, h, Q, M, s, H of every sample from its spectrum, Lab or XYZ
// under the conditions used; empty cells outside the model's domain) and "conditions" of the file.
// Throws Error for an unknown model or surround, a white that is not three numbers (both before
// the file is read) or conditions that define no model; a sentence for samples outside the
// domain goes to warnings.
TINTVALE_QC_API Report AppearanceReport(const std::string& file, const CommonOptions& common,
    const AppearanceOptions& options, std::vector<std::string>* warnings);

} // namespace tintvale::qc

#endif
