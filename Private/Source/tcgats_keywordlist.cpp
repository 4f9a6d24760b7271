// TCgats: every header keyword and its value, for hosts that need keywords the library does not name.
#include <tintvale/tcgats.h>

#include "halden.h"
#include "tcgats_vocabulary.h"
#include "tcgatstag.h"

// Section markers and free-form block delimiters structure the file; they carry no value.
bool tintvale::detail::IsSectionMarker(const char* keyword)
{
    return strncmp_ci(keyword, "BEGIN_", 6) == 0 || strncmp_ci(keyword, "END_", 4) == 0;
}

void TCgats::VisitKeywords(const std::function<void(const char* keyword, const char* value)>& visit) const
{
    for (std::size_t i = 0; i < tags.size(); ++i) {
        const TCgatsTag* tag = tags[i].get();
        if (!tag || !tag->Name() || tintvale::detail::IsSectionMarker(tag->Name()))
            continue;
        if (i == 0 && *tag->Value() == '\0')
            continue; // the identification line
        visit(tag->Name(), tag->Value());
    }
}

std::vector<std::pair<std::string, std::string>> TCgats::GetKeywords() const
{
    std::vector<std::pair<std::string, std::string>> list;
    VisitKeywords([&list](const char* keyword, const char* value) { list.emplace_back(keyword, value); });
    return list;
}

const char* TCgats::GetKeywordValue(const char* keyword) const
{
    const TCgatsTag* tag = GetTag(keyword);
    return tag ? tag->Value() : nullptr;
}
