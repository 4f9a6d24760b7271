// TCgats property test: randomly built files are a fixed point of write, read, write.
#include "cgats_text.h"
#include "tcgats_test_access.h"
#include "temp_dir.h"

#include "numtext.h"
#include "tcgatsfield.h"
#include "tcgatstableheader.h"
#include "tcgatsvaluelist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

using A = TCgatsTestAccess;

namespace {

class Builder {
public:
    explicit Builder(unsigned seed)
        : mRng(seed)
    { }

    std::unique_ptr<TCgats> Build()
    {
        auto c = A::Empty();
        A::AddTag(*c, -1, "CGATS.17", 0, "", "");
        // Now and then more header lines than real spectral files hold (about 140).
        const int nrHeaderLines = Chance(10) ? Int(130, 220) : Int(0, 12);
        for (int i = 0; i < nrHeaderLines; ++i)
            AddHeaderLine(*c);
        const int nrTables = Int(1, 3);
        for (int t = 0; t < nrTables; ++t)
            AddTable(*c, t);
        return c;
    }

private:
    int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(mRng); }
    bool Chance(int percent) { return Int(1, 100) <= percent; }

    // Text without quotes, "#" or line ends; blanks only when allowed.
    std::string Text(int maxLength, bool blanks, bool allowEmpty = true)
    {
        static const std::string letters
            = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789.,;:-+_/()[]"
              "=*%&!?'<>\xC3\xA4\xE2\x82\xAC";
        const int length = Int(allowEmpty ? 0 : 1, maxLength);
        std::string s;
        for (int i = 0; i < length; ++i)
            s += (blanks && Chance(15)) ? (Chance(80) ? ' ' : '\t')
                                        : letters[Int(0, int(letters.size()) - 1)];
        return s;
    }

    std::string Word(int maxLength)
    {
        std::string s = "X";
        const int length = Int(0, maxLength);
        for (int i = 0; i < length; ++i)
            s += "ABCDEFGHIJKLMNOPQRSTUVWXYZ_0123456789"[Int(0, 36)];
        return s;
    }

    std::string Comment()
    {
        if (Chance(60))
            return "";
        const std::string s = Text(30, true);
        return Chance(20) ? s + "# \"quoted\" #" : s;
    }

    void AddHeaderLine(TCgats& c)
    {
        static const int descriptive[]
            = { 0, 1, 2, 6, 7, 8, 14, 15, 16, 19, 20, 26, 27, 28, 30, 31, 33, 36, 41, 44, 45 };
        static const char* const names[]
            = { "ORIGINATOR", "FILE_DESCRIPTOR", "CREATED", "INSTRUMENTATION", "MEASUREMENT_GEOMETRY",
                  "MEASUREMENT_SOURCE", "MANUFACTURER", "MATERIAL", "TARGET_TYPE", "PRINT_CONDITIONS",
                  "SERIAL", "DATA_FORMAT_IDENTIFIER", "TABLE_DESCRIPTOR", "TABLE_NAME", "NumberOfStrips",
                  "LGOROWLENGTH", "NUMBER_OF_COLS", "PATCH_HEIGHT", "INKSET", "LAYOUT_TYPE", "GUI_NAME" };
        const int choice = Int(0, 9);
        if (choice <= 4) {
            const int k = Int(0, int(std::size(descriptive)) - 1);
            AddValueLine(c, descriptive[k], names[k]);
        } else if (choice <= 6) {
            AddValueLine(c, -1, Word(12).c_str());
        } else if (choice == 7) {
            A::AddTag(c, -1, nullptr, 0, "", ((Chance(50) ? " " : "") + Text(40, true, false)).c_str());
        } else if (choice == 8) {
            A::AddTag(
                c, 21 + Int(0, 1), Chance(50) ? "PROCESSCOLOR_ID" : "SPOT_ID", 0, Text(20, true).c_str(), "");
        } else {
            AddBlock(c);
        }
    }

    void AddValueLine(TCgats& c, int kind, const char* name)
    {
        const bool bare = Chance(50);
        const std::string value = bare ? Text(16, false) : Text(24, true);
        A::AddTag(c, kind, name, bare ? Int(1, 2) : 0, value.c_str(), Comment().c_str());
    }

    void AddBlock(TCgats& c)
    {
        const std::string suffix = Word(6);
        const bool crlf = Chance(50);
        std::string body;
        const int lines = Int(0, 4);
        for (int i = 0; i < lines; ++i)
            body += (Chance(30) ? "  " : "") + Text(30, true) + (crlf ? "\r\n" : "\n");
        A::AddTag(c, -1, ("BEGIN_" + suffix).c_str(), 0, "", "");
        A::CommentTags(c).push_back(body);
        A::AddTag(c, -1, ("END_" + suffix).c_str(), 0, "", Comment().c_str());
    }

    struct Column {
        std::string name;
        int type;
        int category;
        int index;
        int vocabIndex;
    };

    std::vector<Column> Columns(TCgats& c, int t)
    {
        std::vector<Column> columns;
        columns.push_back({ "SampleID", TCgatsField::kString, TCgatsField::kKeyword, 0, 0 });
        if (Chance(50))
            for (int k = 0; k < 4; ++k)
                columns.push_back({ std::string("CMYK_") + "CMYK"[k], TCgatsField::kDouble, 0, 0, 2 + k });
        if (Chance(50))
            for (int k = 0; k < 3; ++k)
                columns.push_back({ std::string("LAB_") + "LAB"[k], TCgatsField::kDouble, 0, 0, 23 + k });
        static const char* const plain[] = { "D_RED", "RGB_G", "LAB_C", "MEAN_DE", "STDEV_Z", "XYY_X" };
        for (int k = 0; k < 6; ++k)
            if (Chance(20))
                columns.push_back({ plain[k], TCgatsField::kDouble, 0, 0, 6 });
        const int nrSpectral = Chance(50) ? Int(1, 8) : 0;
        for (int k = 0; k < nrSpectral; ++k) {
            const int nm = 380 + 10 * Int(0, 35);
            columns.push_back({ (Chance(50) ? "nm" : "SPEC_") + std::to_string(nm), TCgatsField::kDouble,
                TCgatsField::kSpectral, nm, 0 });
        }
        // Declared text and integer columns (integers read back as text, and write the same).
        const int nrDeclared = Int(0, 2);
        for (int k = 0; k < nrDeclared; ++k) {
            const std::string name = "NOTE" + std::to_string(t) + "_" + std::to_string(k);
            A::AddTag(c, 29, "KEYWORD", 0, name.c_str(), "");
            columns.push_back(
                { name, Chance(50) ? TCgatsField::kInt : TCgatsField::kString, TCgatsField::kKeyword, 0, 0 });
        }
        return columns;
    }

    // Integers, percentages, tiny and huge values, zero, factors.
    double Number()
    {
        const int k = Int(0, 5);
        const double lo[] = { 0, 0, -1e-6, -1e9, 0, 0 }, hi[] = { 0, 100, 1e-6, 1e9, 0, 1 };
        return k == 0 ? Int(-100, 100) : std::uniform_real_distribution<double>(lo[k], hi[k])(mRng);
    }

    void AddTable(TCgats& c, int t)
    {
        const std::vector<Column> columns = Columns(c, t);
        const int rows = Int(1, 12);
        A::AddTag(c, 3, "NUMBER_OF_FIELDS", 1, std::to_string(columns.size()).c_str(), "");
        A::AddTag(c, 4, "BEGIN_DATA_FORMAT", 0, "", "");
        A::AddTag(c, 5, "END_DATA_FORMAT", 0, "", "");
        A::AddTag(c, 23, "NUMBER_OF_SETS", 1, std::to_string(rows).c_str(), Comment().c_str());
        A::AddTag(c, 24, "BEGIN_DATA", 0, "", "");
        A::AddTag(c, 25, "END_DATA", 0, "", "");
        auto header = std::make_unique<TCgatsTableHeader>(0);
        header->nrSamples = rows;
        for (const Column& col : columns)
            header->AppendField(
                TCgatsField(col.type, col.name.c_str(), col.category, col.index, col.vocabIndex));
        auto table = std::make_unique<TCgatsTable>();
        ASSERT_EQ(table->Init(header, true), 0);
        for (int r = 0; r < rows; ++r) {
            std::vector<std::string> texts;
            for (const Column& col : columns) {
                if (col.type == TCgatsField::kString)
                    texts.push_back(Chance(30) ? Text(12, true) : Text(10, false, false));
                else if (col.type == TCgatsField::kInt)
                    texts.push_back(std::to_string(Int(-100000, 100000)));
                else
                    texts.push_back(tintvale::detail::FormatG(Number(), 12));
            }
            std::vector<const char*> pointers;
            for (const auto& s : texts)
                pointers.push_back(s.c_str());
            ASSERT_EQ(table->AddSample(pointers.data()), 0);
        }
        A::Tables(c).push_back(std::move(table));
    }

    std::mt19937 mRng;
};

} // namespace

TEST(TCgatsRoundTrip, RandomFilesAreAFixedPointOfWriteReadWrite)
{
    for (unsigned seed = 1; seed <= 300; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Builder builder(seed);
        auto built = builder.Build();
        const std::string first = Written(*built);
        TCgats read1(first.c_str(), 0);
        ASSERT_EQ(read1.GetErrorCode(), 0) << read1.GetErrorMsg() << "\n" << first;
        const std::string second = Written(read1);
        ASSERT_EQ(first, second);
        // The read model keeps every table and block of the built one.
        EXPECT_EQ(A::Tables(read1).size(), A::Tables(*built).size());
        // Block bodies are written with LF line ends.
        std::vector<std::string> bodies = A::CommentTags(*built);
        for (std::string& body : bodies)
            body.erase(std::remove(body.begin(), body.end(), '\r'), body.end());
        EXPECT_EQ(A::CommentTags(read1), bodies);
        if (HasFailure())
            break;
    }
}

TEST(TCgatsRoundTrip, MutatedFilesNeverBreakTheReader)
{
    // Damaged files must give a result code, never a crash or an out-of-bounds access (the
    // sanitizer build watches).
    const std::string seeds[] = {
        "CGATS.17\nORIGINATOR \"a b\" # c\nKEYWORD \"Note\"\nNUMBER_OF_FIELDS 5\nBEGIN_DATA_FORMAT\n"
        "SampleID Note nm400 6CLR_1 SPOT_1\nEND_DATA_FORMAT\nNUMBER_OF_SETS 2\nBEGIN_DATA\nA \"x y\" 45,3 1 "
        "2\n"
        "B z 1e-3 3 4\nEND_DATA\nBEGIN_X\r\nbody\r\nEND_X\n",
        "NUMBER_OF_FIELDS 4\nBEGIN_DATA_FORMAT\nCMYK_C CMYK_M CMYK_Y CMYK_K\nEND_DATA_FORMAT\nNUMBER_OF_SETS "
        "1\n"
        "BEGIN_DATA\n100 0 0 0\nEND_DATA\nBEGIN_DATA_FORMAT\nPC2_1 PC2_2 LAB_L LAB_A LAB_B\nEND_DATA_FORMAT\n"
        "NUMBER_OF_SETS 1\nBEGIN_DATA\n1 2 3 4 5\nEND_DATA\n",
    };
    const char pieces[] = { '"', '#', '\n', '\r', ' ', '\t', ',', '-', '0', '9', 'e', '_', 'X' };
    const char* const words[] = { "BEGIN_DATA\n", "BEGIN_DATA_FORMAT\n", "END_DATA_FORMAT\n",
        "NUMBER_OF_SETS 3\n", "NUMBER_OF_FIELDS 2\n", "BEGIN_Q\n", "END_Q\n", "KEYWORD \"LAB_L\"\n",
        "SPOT_7 ", "9CLR_3 ", "nm-5 " };
    // Whatever reads without error must write and read again; a header value cannot hold a double
    // quote (the format has no escape), so a field name with an inner quote is not declared
    // faithfully, every other file is a fixed point.
    int readable = 0;
    auto check = [&](const std::string& text) {
        TCgats read(text.c_str(), 0);
        if (read.GetErrorCode() != 0)
            return;
        ++readable;
        const std::string first = Written(read);
        TCgats again(first.c_str(), 0);
        ASSERT_EQ(again.GetErrorCode(), 0) << text;
        bool quoteInValue = false;
        for (const auto& tag : A::Tags(read))
            quoteInValue |= std::strchr(tag->Value(), '"') != nullptr;
        if (!quoteInValue) {
            ASSERT_EQ(Written(again), first) << text;
        }
    };
    // First the inputs the fuzzers found.
    for (boost::filesystem::directory_iterator it(TINTVALE_SOURCE_DIR "/tests/data/fuzz/cgats"), end;
         it != end; ++it)
        check(TempDir::Read(it->path().string()));
    EXPECT_GT(readable, 0);
    std::mt19937 rng(2026);
    for (int i = 0; i < 3000; ++i) {
        std::string text = seeds[i % 2];
        const int edits = 1 + static_cast<int>(rng() % 4);
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = rng() % (text.size() + 1);
            switch (rng() % 4) {
            case 0:
                text.insert(at, 1, pieces[rng() % sizeof pieces]);
                break;
            case 1:
                if (at < text.size())
                    text.erase(at, 1 + rng() % 8);
                break;
            case 2:
                text.insert(at, words[rng() % std::size(words)]);
                break;
            default:
                text.resize(at);
                break;
            }
        }
        check(text);
        if (HasFatalFailure())
            return;
    }
    EXPECT_GT(readable, 300); // enough of them get through to the writer
}
