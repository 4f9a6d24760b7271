// The tint-network file reader.
#include "neuralnetworkhelpers_reader.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    tintvale::detail::ReadNetwork(in);
    return 0;
}
