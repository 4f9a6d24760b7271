// Helpers of the CGATS tests: a data section as text, text that must read, and the written text.
#ifndef TINTVALE_TESTS_CGATS_TEXT_H
#define TINTVALE_TESTS_CGATS_TEXT_H

#include <tintvale/tcgats.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// One table: format, set count and rows, with a NUMBER_OF_FIELDS line ahead when asked.
inline std::string Table(
    const std::string& fields, const std::vector<std::string>& rows, bool withCount = false)
{
    int n = 1;
    for (char c : fields)
        n += c == ' ';
    std::string text = withCount ? "NUMBER_OF_FIELDS " + std::to_string(n) + "\n" : "";
    text += "BEGIN_DATA_FORMAT\n" + fields + "\nEND_DATA_FORMAT\nNUMBER_OF_SETS "
        + std::to_string(rows.size()) + "\nBEGIN_DATA\n";
    for (const auto& row : rows)
        text += row + "\n";
    return text + "END_DATA\n";
}

inline std::unique_ptr<TCgats> Read(const std::string& text)
{
    auto c = std::make_unique<TCgats>(text.c_str(), 0);
    EXPECT_EQ(c->GetErrorCode(), 0) << c->GetErrorMsg();
    return c;
}

// Whether text holds part.
inline bool Has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// The object read from text, which must read.
inline TCgats Parsed(const std::string& text)
{
    TCgats c(text.c_str(), 0);
    EXPECT_EQ(c.GetErrorCode(), 0) << c.GetErrorMsg();
    return c;
}

// The text written, as held or in a convention: the code must be 0, or is left in *result.
inline std::string Written(
    const TCgats& c, TCgats::Convention convention = TCgats::Convention::AsHeld, int* result = nullptr)
{
    char* buffer = nullptr;
    const int code = convention == TCgats::Convention::AsHeld ? c.WriteToBuffer(&buffer)
                                                              : c.WriteToBuffer(&buffer, convention);
    if (result)
        *result = code;
    else
        EXPECT_EQ(code, 0) << c.GetErrorMsg();
    std::string text = buffer ? buffer : "";
    delete[] buffer;
    return text;
}

#endif
