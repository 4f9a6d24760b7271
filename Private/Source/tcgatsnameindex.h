// TCgatsNameIndex: case-insensitive look-up of declared custom field names while a file is read,
// so that long data formats against many declarations stay linear.
#ifndef TINTVALE_TCGATSNAMEINDEX_H
#define TINTVALE_TCGATSNAMEINDEX_H

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class TCgatsNameIndex {
public:
    // The position of the first name equal to name ignoring ASCII letter case (as strcmp_ci
    // compares), or -1. names may only have grown since the last call.
    int Find(const std::vector<std::string>& names, const char* name);

private:
    std::unordered_map<std::string, int> mFirst;
    std::size_t mIndexed = 0;
};

// A set of names compared ignoring ASCII letter case, as strcmp_ci compares.
class TCgatsNameSet {
public:
    void Add(const char* name);
    bool Contains(const char* name) const;

private:
    std::unordered_set<std::string> mKeys;
};

#endif
