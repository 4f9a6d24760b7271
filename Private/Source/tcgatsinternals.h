// TCgatsInternals: access to the private model of a TCgats for the library's own code and its
// tests, outside the installed header.
#ifndef TINTVALE_TCGATSINTERNALS_H
#define TINTVALE_TCGATSINTERNALS_H

#include <tintvale/tcgats.h>

#include "tcgatsfield.h"
#include "tcgatstable.h"
#include "tcgatstag.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class TCgatsInternals {
public:
    static std::unique_ptr<TCgats> Empty() { return std::unique_ptr<TCgats>(new TCgats()); }

    static std::vector<std::unique_ptr<TCgatsTag>>& Tags(TCgats& c) { return c.tags; }
    static std::vector<std::string>& CommentTags(TCgats& c) { return c.commentTags; }
    static std::vector<std::string>& CustomFields(TCgats& c) { return c.customFields; }
    static std::vector<std::unique_ptr<TCgatsTable>>& Tables(TCgats& c) { return c.tables; }
    static const TCgatsTableHeader* TmpHeader(const TCgats& c) { return c.tmpHeader.get(); }
    static int NrProcessColorIds(const TCgats& c) { return c.nrProcessColorIds; }
    static int NrSpotIds(const TCgats& c) { return c.nrSpotIds; }

    static bool SetErrorCode(const TCgats& c, int code) { return c.SetErrorCode(code); }
    // Words of the caller's own for the recorded code, cut to what the message holds.
    static void SetErrorMessage(const TCgats& c, const std::string& message)
    {
        std::snprintf(c.errorMsg, sizeof c.errorMsg, "%s", message.c_str());
    }
    static int TableErrorToCgatsError(int tableError) { return TCgats::TableErrorToCgatsError(tableError); }
    static int MatchTag(const TCgats& c, const char* text) { return c.MatchTag(text); }
    static int MatchField(
        TCgats& c, const char* name, int* category, int* index, int* type, std::string* canonical)
    {
        return c.MatchField(name, category, index, type, canonical);
    }
    static int FindTag(const TCgats& c, int kind) { return c.FindTag(kind); }
    static const TCgatsTag* GetTag(const TCgats& c, int kind) { return c.GetTag(kind); }
    static const TCgatsTag* GetTag(const TCgats& c, const char* name) { return c.GetTag(name); }
    static int AddTag(
        TCgats& c, int kind, const char* name, int unquoted, const char* value, const char* comment)
    {
        return c.AddTag(kind, name, unquoted, value, comment);
    }
    static int AddCustomField(TCgats& c, const char* name) { return c.AddCustomField(name); }
    static double SpectralFactor(const TCgats& c, int t) { return c.SpectralFactor(t); }
    static int InsertTag(TCgats& c, int kind, const char* name, const char* value, int position, bool replace)
    {
        return c.InsertTag(kind, name, 0, value, "", position, replace);
    }

    // Tag names in order ("" for a comment-only line).
    static std::vector<std::string> TagNames(TCgats& c)
    {
        std::vector<std::string> names;
        for (const auto& tag : c.tags)
            names.push_back(tag && tag->Name() ? tag->Name() : "");
        return names;
    }
};

#endif
