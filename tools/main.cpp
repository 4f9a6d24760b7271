// The tintvale program; its body is shared with the Python package's `tintvale` command.
#include "tool_commands.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// A run reads a whole file, builds its table and writes the result, each a buffer of tens of
// megabytes for large charts: kept in the heap and reused rather than mapped, returned and mapped
// again page by page. The most glibc allows for the mapping threshold.
void KeepLargeBuffers()
{
#ifdef __GLIBC__
    constexpr int kMappingThreshold = 32 * 1024 * 1024;
    constexpr int kTrimThreshold = 1024 * 1024 * 1024;
    constexpr int kTopPad = 64 * 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, kMappingThreshold);
    mallopt(M_TRIM_THRESHOLD, kTrimThreshold);
    mallopt(M_TOP_PAD, kTopPad);
#endif
}

} // namespace

int main(int argc, char** argv)
{
    KeepLargeBuffers();
    return tool::Main(argc, argv);
}
