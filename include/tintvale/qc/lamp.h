// How good a light is (CCT and Duv, CIE 13.3 CRI, CIE 224 Rf, TM-30, the ISO 3664 viewing booth):
// what `tintvale lamp` shows.
#ifndef TINTVALE_QC_LAMP_H
#define TINTVALE_QC_LAMP_H

#include <tintvale/qc/export.h>

#include <tintvale/qc/context.h>
#include <tintvale/qc/report.h>

#include <string>
#include <vector>

namespace tintvale::qc {

// The light-source indices as TLightSource::GetReportJson gives them, of the emissive spectrum in
// file (an illuminant file "*.ill", or a CGATS or ArgyllCMS file of one spectrum), or with an empty
// file of the illuminant common.illuminant names. Throws Error when both or neither are given, for
// a file of surface colours (reflective, transmissive, or stating a measurement condition), and
// when the spectrum cannot be judged (naming why). What reading the file found doubtful goes to
// warnings, also when it then throws.
TINTVALE_QC_API std::string LampJson(
    const std::string& file, const CommonOptions& common, std::vector<std::string>* warnings);
// That JSON as the sections "chromaticity", "CIE 13.3", "CIE 224:2017", the TM-30 edition's,
// "hue bins", the ISO 3664 condition's criteria and "viewing booth".
TINTVALE_QC_API Report LampReport(const std::string& json);

} // namespace tintvale::qc

#endif
