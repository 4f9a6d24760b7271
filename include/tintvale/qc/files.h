// The tool's edges: what it reads (a regular file by name, or standard input as "-") and where it
// writes a measurement data file (a file the library replaces atomically, or standard output as
// "-"), with every failure turned into the system's reason in words.
#ifndef TINTVALE_QC_FILES_H
#define TINTVALE_QC_FILES_H

#include <tintvale/qc/export.h>

#include <tintvale/qc/context.h>

#include <tintvale/tcgats.h>

#include <iosfwd>
#include <string>

namespace tintvale::qc {

// A file that cannot be read, with the cause for callers that tell causes apart (the Python module
// raises what its file reader raises): the system's errno, or the reader's error code.
class TINTVALE_QC_API InputError : public Error {
public:
    InputError(const std::string& text, const std::string& path, int systemError, int readerCode)
        : Error(text)
        , path(path)
        , systemError(systemError)
        , readerCode(readerCode)
    { }
    ~InputError() override;
    std::string path;
    int systemError;
    int readerCode;
};

// Output that cannot be written, with the system's errno (0 when none was given), for callers that
// tell causes apart as for InputError.
class TINTVALE_QC_API OutputError : public Error {
public:
    OutputError(const std::string& path, int systemError);
    ~OutputError() override;
    std::string path;
    int systemError;
};

// The whole content of path, or of standard input for "-". Anything but a regular file is refused
// by name at once (a FIFO without a writer would block forever, a device never end), as is a file of
// 2 GiB or more, which the library's reader cannot hold.
TINTVALE_QC_API std::string ReadInput(const std::string& path);

// Whether path names the null device: output sent there is a deliberate discard, not a file to
// replace.
TINTVALE_QC_API bool IsNullDevice(const std::string& path);

// Writes cgats in the convention to the file output (replaced as a whole), or into out for "-";
// an empty name is refused.
TINTVALE_QC_API void WriteCgats(const TCgats& cgats, const std::string& output, std::ostream& out,
    TCgats::Convention convention = TCgats::Convention::AsHeld);

// Writes text to the file output (replaced as a whole), or into out for "-"; an empty name is
// refused.
TINTVALE_QC_API void WriteText(const std::string& text, const std::string& output, std::ostream& out);

// The library's message with its code, or the tool's own words for a code the library leaves
// without text.
TINTVALE_QC_API std::string CgatsMessage(const TCgats& cgats);

} // namespace tintvale::qc

#endif
