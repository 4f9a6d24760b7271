// CgatsTokenizer: the searches that ignore letter case, for the ends of free-form blocks.
#include "cgatstokenizer.h"

#include "halden.h"

bool CgatsTokenizer::StartsWith(const std::string& text) const
{
    return strncmp_ci(p, text.c_str(), text.size()) == 0;
}

bool CgatsTokenizer::SkipToLineStarting(const std::string& text)
{
    for (const char* at = p; *at; ++at) {
        if (IsLineEnd(*at) && strncmp_ci(at + 1, text.c_str(), text.size()) == 0) {
            p = at + 1;
            return true;
        }
    }
    return false;
}
