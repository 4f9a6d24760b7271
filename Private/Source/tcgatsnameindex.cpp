// TCgatsNameIndex: an incrementally built map from folded names to their first position.
#include "tcgatsnameindex.h"

namespace {

std::string Key(const char* text)
{
    std::string key(text);
    for (char& c : key)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return key;
}

} // namespace

int TCgatsNameIndex::Find(const std::vector<std::string>& names, const char* name)
{
    if (names.size() < mIndexed) {
        mFirst.clear();
        mIndexed = 0;
    }
    for (; mIndexed < names.size(); ++mIndexed)
        mFirst.emplace(Key(names[mIndexed].c_str()), static_cast<int>(mIndexed));
    const auto found = mFirst.find(Key(name));
    return found == mFirst.end() ? -1 : found->second;
}

void TCgatsNameSet::Add(const char* name) { mKeys.insert(Key(name)); }

bool TCgatsNameSet::Contains(const char* name) const { return mKeys.count(Key(name)) != 0; }
