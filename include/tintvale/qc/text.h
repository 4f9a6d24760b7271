// Text from measurement files as every output of the tool shows it: sample names and header values
// are bytes in whatever encoding the instrument software chose.
#ifndef TINTVALE_QC_TEXT_H
#define TINTVALE_QC_TEXT_H

#include <tintvale/qc/export.h>

#include <string>

namespace tintvale::qc {

// text as UTF-8 that any output can carry: bytes that are not UTF-8 are taken as Latin-1, as older
// instrument software writes names; controls (C0, DEL, C1) are shown as \xNN, Unicode non-characters
// and isolate controls become U+FFFD, and text holding other bidirectional controls is enclosed in
// FIRST STRONG ISOLATE ... POP DIRECTIONAL ISOLATE, so it cannot reorder the text around it.
TINTVALE_QC_API std::string Utf8Text(const std::string& text);

// text on one line of valid UTF-8, for error lines and CSV, whose bytes need not be a name's (a
// path, a key of a JSON file): controls (C0, DEL, C1) and bytes that are not UTF-8 shown as \xNN.
TINTVALE_QC_API std::string OneLine(const std::string& text);

// What Utf8Text encloses such text in.
inline constexpr char kFirstStrongIsolate[] = "\u2068";
inline constexpr char kPopDirectionalIsolate[] = "\u2069";

} // namespace tintvale::qc

#endif
