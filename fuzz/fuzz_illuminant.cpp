// The illuminant file image parser, with the image in a buffer of exactly its size.
#include <tintvale/tilluminant.h>
#include <tintvale/tspectrum.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

struct ImageReader : TIlluminant {
    ImageReader()
        : TIlluminant(TSpectrum(), "fuzz")
    { }
    using TIlluminant::ReadFrom;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<char> image(data, data + size); // heap block of exactly size bytes
    ImageReader reader;
    reader.ReadFrom(image.data(), image.size());
    return 0;
}
