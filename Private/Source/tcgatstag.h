// TCgatsTag: one header line of a CGATS file (keyword, value, comment), kept in file order.
#ifndef TINTVALE_TCGATSTAG_H
#define TINTVALE_TCGATSTAG_H

#include <string>

class TCgatsTag {
public:
    // name is kept only when non-null and non-empty; a null value or comment becomes empty.
    TCgatsTag(int kind, const char* name, int unquoted, const char* value, const char* comment);

    // The keyword, or null for a comment-only line.
    const char* Name() const { return mHasName ? mName.c_str() : nullptr; }
    const char* Value() const { return mValue.c_str(); }
    const char* Comment() const { return mComment.c_str(); }
    bool HasName() const { return mHasName; }

    // A keyword line outside the vocabulary with a value and a plain name (letters, digits and "_",
    // not a block marker): a custom keyword, which a written file declares. (A word alone on its
    // line names the type of a file or table.)
    bool IsCustomKeyword() const;

    // Appends the tag's line ("\n"-terminated) to out; a tag without keyword and comment adds nothing.
    void Write(std::string& out) const;

    bool operator==(const TCgatsTag& other) const;
    bool operator!=(const TCgatsTag& other) const { return !(*this == other); }

    int kind; // keyword vocabulary index, -1 for any other line
    int unquoted; // 0: the value is written in double quotes; 1 or 2: written bare

private:
    bool mHasName;
    std::string mName;
    std::string mValue;
    std::string mComment;
};

#endif
