// JsonHelpers: small conveniences for hosts that keep settings and data in JSON documents.
#ifndef TINTVALE_JSONHELPERS_H
#define TINTVALE_JSONHELPERS_H

#include <tintvale/texport.h>

#include <nlohmann/json_fwd.hpp>

#include <string>

namespace JsonHelpers {

// The member of document named key (exact, case-sensitive comparison) when document is an object
// that has it; otherwise one shared null value that lives until the process ends. Only the top
// level is searched. Never throws.
TINTVALE_API const nlohmann::json& FindConstJsonRefInJson(
    const nlohmann::json& document, const std::string& key);

// A copy of text with every byte passed through tolower of the current C locale; bytes that are not
// upper-case letters there stay as they are.
TINTVALE_API std::string ToLower(const std::string& text);

} // namespace JsonHelpers

#endif
