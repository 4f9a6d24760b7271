// The escape decoder: any text decodes without overrun, and an encoded text decodes to itself.
#include <tintvale/tcms_illegalcharacters.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string zeroFree = text.substr(0, text.find('\0'));
    TCMS_DecodeIllegalCharacters(zeroFree, nullptr);
    TCMS_DecodeIllegalCharacters(zeroFree, "%/");
    std::string decoded(zeroFree.size() + 1, '\0');
    TCMS_DecodeIllegalCharacters(zeroFree.c_str(), &decoded[0], nullptr);
    // With '%' itself in the set, decoding the escaped text must give the text back.
    const std::string encoded = TCMS_EncodeIllegalCharacters(zeroFree, "%/\\:*?\"<>| \t");
    if (TCMS_DecodeIllegalCharacters(encoded, nullptr) != zeroFree)
        std::abort();
    return 0;
}
