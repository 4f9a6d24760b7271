// TCgatsTag: one header line of a CGATS file (keyword, value, comment), kept in file order.
#ifndef TINTVALE_TCGATSTAG_H
#define TINTVALE_TCGATSTAG_H

#include <cstdint>
#include <string>
#include <string_view>

class TCgatsTag {
public:
    // name is kept only when non-null and non-empty; a null value or comment becomes empty.
    TCgatsTag(int kind, const char* name, int unquoted, const char* value, const char* comment);

    // The keyword, or null for a comment-only line.
    const char* Name() const { return mHasName ? mText.c_str() : nullptr; }
    const char* Value() const { return mText.c_str() + mValueAt; }
    const char* Comment() const { return mText.c_str() + mCommentAt; }
    bool HasName() const { return mHasName; }
    // The keyword's text, its length known without a scan (empty for a comment-only line).
    std::string_view NameText() const { return { mText.data(), mValueAt - 1 }; }

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
    std::string_view ValueText() const { return { mText.data() + mValueAt, mCommentAt - mValueAt - 1 }; }
    std::string_view CommentText() const { return { mText.data() + mCommentAt, mText.size() - mCommentAt }; }

    // A file may hold millions of header lines: the three texts share one string (name, NUL,
    // value, NUL, comment), which holds short lines without an allocation of its own.
    std::uint32_t mValueAt;
    std::uint32_t mCommentAt;
    std::string mText;
    bool mHasName;
};

#endif
