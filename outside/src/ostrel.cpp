// Ostrel: UTF-8 names to file-system paths and back. POSIX paths are byte strings,
// so on this platform both directions keep the bytes as they are.
#include "ostrel.h"

namespace Ostrel {

boost::filesystem::path FromUTF8String(const std::string& utf8) { return boost::filesystem::path(utf8); }

std::string ToUTF8String(const boost::filesystem::path& path) { return path.string(); }

} // namespace Ostrel
