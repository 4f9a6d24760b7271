// JsonHelpers: a member lookup that never throws and byte-wise lower-casing.
#include <tintvale/jsonhelpers.h>

#include <nlohmann/json.hpp>

#include <cctype>

namespace JsonHelpers {

const nlohmann::json& FindConstJsonRefInJson(const nlohmann::json& document, const std::string& key)
{
    static const nlohmann::json sNull;
    if (!document.is_object())
        return sNull;
    const auto found = document.find(key);
    return found != document.end() ? *found : sNull;
}

std::string ToLower(const std::string& text)
{
    std::string lower(text);
    // tolower takes the byte as an unsigned char value; a plain char above 0x7F would be negative.
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

} // namespace JsonHelpers
