// CxF3 (ISO 17972-1) files bridged to the CGATS model: a reader that turns a CxF3 document into
// CGATS.17 text (one table per set of measurement conditions) and a writer that turns a TCgats
// into a CxF3 document that validates against the CxF3 core schema.
#ifndef TINTVALE_CXF_H
#define TINTVALE_CXF_H

#include <string>

class TCgats;

namespace tintvale::detail {

// The namespace every CxF3 core element is in, whatever prefix a file binds to it.
constexpr const char* kCxfCoreNamespace = "http://colorexchangeformat.com/CxF3-core";

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

// The CxF3 document of cgats; a TCgats error code (0 on success).
int CgatsToCxf(const TCgats& cgats, std::string& out);
// SaveAs and WriteToBuffer of TCgats for CxF3, with their results.
int SaveCxf(const TCgats& cgats, const char* fileName);
int WriteCxfToBuffer(const TCgats& cgats, char** buffer);

} // namespace tintvale::detail

#endif
