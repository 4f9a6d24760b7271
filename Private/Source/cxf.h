// CxF3 (ISO 17972-1) files bridged to the CGATS model: a reader that turns a CxF3 document into
// CGATS.17 text (one table per set of measurement conditions) and a writer that turns a TCgats
// into a CxF3 document that validates against the CxF3 core schema.
#ifndef TINTVALE_CXF_H
#define TINTVALE_CXF_H

#include <cstddef>
#include <string>

class TCgats;

namespace tintvale::detail {

// The namespace every CxF3 core element is in, whatever prefix a file binds to it.
constexpr const char* kCxfCoreNamespace = "http://colorexchangeformat.com/CxF3-core";

// The methods of TristimulusSpec/Method with the WEIGHTING_FUNCTION "INTEGRATION, ..." text each
// reads as; "unknown" (or none) states no integration. Table 5: weights for bandpass-corrected
// data, as this library computes them for 10- and 20-nm data.
struct CxfMethod {
    const char* method;
    const char* integration;
};
inline constexpr CxfMethod kCxfMethods[] = { { "E308_Table5", "ASTM E308 Table 5" },
    { "E308_Table6", "ASTM E308 Table 6" }, { "E308_1nm", "ASTM E308 1 nm" } };
constexpr const char* kCxfUnknownMethod = "unknown";

// The header lines that keep a document's CustomResources (elements of other namespaces, each with
// the namespace declarations it needs) for writing them back: the XML with "%", quotes and control
// characters as %XX, cut into values a CGATS header line holds, in order.
constexpr const char* kCxfCustomResourcesKeyword = "CXF_CUSTOM_RESOURCES";
constexpr std::size_t kCxfCustomResourcesLine = 4000;

// Whether text is XML rather than CGATS: its first character after a byte-order mark and white
// space is "<". CGATS text never starts so.
bool IsXmlText(const char* text);

// Why a CxF3 document could not be read: the kind of fault (a TCgats error code), a message
// naming the element, and the line (from 1) of the document where it stands.
struct CxfFault {
    int code = 0;
    std::string message;
    int line = 0;
};

// The CGATS.17 text of the CxF3 document text (NUL-terminated), or a fault. Nothing of a document
// that fails is offered.
bool CxfToCgats(const char* text, std::string& cgats, CxfFault& fault);

// Length of the UTF-8 sequence at p (at most n bytes) that XML 1.0 allows, 0 when none.
std::size_t Utf8Length(const unsigned char* p, std::size_t n);

// The CxF3 document of cgats; a TCgats error code (0 on success).
int CgatsToCxf(const TCgats& cgats, std::string& out);
// SaveAs and WriteToBuffer of TCgats for CxF3, with their results.
int SaveCxf(const TCgats& cgats, const char* fileName);
int WriteCxfToBuffer(const TCgats& cgats, char** buffer);

} // namespace tintvale::detail

#endif
