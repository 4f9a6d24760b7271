// TCgats property tests: generated and damaged files read whole or are refused, and what reads is a
// fixed point of write, read, write.
#include "cgats_text.h"
#include "tcgatsinternals.h"
#include "temp_dir.h"

#include "numtext.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

using A = TCgatsInternals;

namespace {

// Files as instrument software writes them: many or few header lines, custom keywords declared
// or not, comments, colour ids, free-form blocks with LF or CR LF lines, and up to three tables
// with process, Lab, other, SPEC_nnn / nmNNN and declared text columns.
class Generator {
public:
    explicit Generator(unsigned seed)
        : mRng(seed)
    { }

    std::string File()
    {
        std::string text = "CGATS.17\n";
        const int nrHeaderLines = Chance(10) ? Int(130, 220) : Int(0, 12); // real files hold about 140
        for (int i = 0; i < nrHeaderLines; ++i)
            text += HeaderLine();
        nrTables = Int(1, 3);
        for (int t = 0; t < nrTables; ++t)
            text += Table(t);
        return text;
    }

    int nrTables = 0;
    std::vector<std::string> bodies; // block bodies as read back: LF line ends

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
        const std::string s = "\t#" + Text(30, true);
        return Chance(20) ? s + "# \"quoted\" #" : s;
    }

    std::string Value() { return Chance(50) ? Text(16, false) : "\"" + Text(24, true) + "\""; }

    std::string HeaderLine()
    {
        static const char* const names[]
            = { "ORIGINATOR", "FILE_DESCRIPTOR", "CREATED", "INSTRUMENTATION", "MEASUREMENT_GEOMETRY",
                  "MEASUREMENT_SOURCE", "MANUFACTURER", "MATERIAL", "TARGET_TYPE", "PRINT_CONDITIONS",
                  "SERIAL", "DATA_FORMAT_IDENTIFIER", "TABLE_DESCRIPTOR", "TABLE_NAME", "NumberOfStrips",
                  "LGOROWLENGTH", "NUMBER_OF_COLS", "PATCH_HEIGHT", "INKSET", "LAYOUT_TYPE", "GUI_NAME" };
        const int choice = Int(0, 9);
        if (choice <= 4)
            return names[Int(0, int(std::size(names)) - 1)] + ("\t" + Value()) + Comment() + "\n";
        if (choice <= 6) {
            const std::string word = Word(12);
            return (Chance(50) ? "KEYWORD\t\"" + word + "\"\n" : "") + word + "\t" + Value() + Comment()
                + "\n";
        }
        if (choice == 7)
            return "#" + std::string(Chance(50) ? " " : "") + Text(40, true, false) + "\n";
        if (choice == 8)
            return (Chance(50) ? "PROCESSCOLOR_ID\t\"" : "SPOT_ID\t\"") + Text(20, true) + "\"\n";
        const std::string suffix = Word(6);
        const bool crlf = Chance(50);
        std::string body;
        for (int i = Int(0, 4); i > 0; --i)
            body += (Chance(30) ? "  " : "") + Text(30, true) + "\n";
        bodies.push_back(body);
        if (crlf)
            for (std::size_t at = body.find('\n'); at != std::string::npos; at = body.find('\n', at + 2))
                body.insert(at, "\r");
        return "BEGIN_" + suffix + "\n" + body + "END_" + suffix + Comment() + "\n";
    }

    // Integers, percentages, tiny and huge values, zero, factors.
    double Number()
    {
        const int k = Int(0, 5);
        const double lo[] = { 0, 0, -1e-6, -1e9, 0, 0 }, hi[] = { 0, 100, 1e-6, 1e9, 0, 1 };
        return k == 0 ? Int(-100, 100) : std::uniform_real_distribution<double>(lo[k], hi[k])(mRng);
    }

    std::string Table(int t)
    {
        std::vector<std::string> names { "SampleID" };
        std::vector<bool> text { true };
        std::string declarations;
        auto add = [&](const std::string& name, bool isText) {
            names.push_back(name);
            text.push_back(isText);
        };
        if (Chance(50))
            for (const char* name : { "CMYK_C", "CMYK_M", "CMYK_Y", "CMYK_K" })
                add(name, false);
        if (Chance(50))
            for (const char* name : { "LAB_L", "LAB_A", "LAB_B" })
                add(name, false);
        for (const char* name : { "D_RED", "RGB_G", "LAB_C", "MEAN_DE", "STDEV_Z", "XYY_X" })
            if (Chance(20))
                add(name, false);
        for (int k = Chance(50) ? Int(1, 8) : 0; k > 0; --k)
            add((Chance(50) ? "nm" : "SPEC_") + std::to_string(380 + 10 * Int(0, 35)), false);
        for (int k = Int(0, 2); k > 0; --k) {
            add("NOTE" + std::to_string(t) + "_" + std::to_string(k), true);
            declarations += "KEYWORD\t\"" + names.back() + "\"\n";
        }
        const int rows = Int(1, 12);
        std::string format, data;
        for (const auto& name : names)
            format += name + "\t";
        for (int r = 0; r < rows; ++r) {
            for (std::size_t k = 0; k < names.size(); ++k)
                data += !text[k] ? tintvale::detail::FormatG(Number(), 12) + "\t"
                    : Chance(30) ? "\"" + Text(12, true) + "\"\t"
                                 : Text(10, false, false) + "\t";
            data += "\n";
        }
        return declarations + "NUMBER_OF_FIELDS\t" + std::to_string(names.size()) + "\nBEGIN_DATA_FORMAT\n"
            + format + "\nEND_DATA_FORMAT\nNUMBER_OF_SETS\t" + std::to_string(rows) + Comment()
            + "\nBEGIN_DATA\n" + data + "END_DATA\n";
    }

    std::mt19937 mRng;
};

} // namespace

TEST(TCgatsRoundTrip, GeneratedFilesReadWholeAndAreAFixedPointOfWriteReadWrite)
{
    for (unsigned seed = 1; seed <= 300; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Generator generator(seed);
        const std::string text = generator.File();
        TCgats read1(text.c_str(), 0);
        ASSERT_EQ(read1.GetErrorCode(), 0) << read1.GetErrorMsg() << "\n" << text;
        const std::string first = Written(read1);
        TCgats read2(first.c_str(), 0);
        ASSERT_EQ(read2.GetErrorCode(), 0) << read2.GetErrorMsg() << "\n" << first;
        ASSERT_EQ(Written(read2), first);
        // Every table and block is kept; block bodies are written with LF line ends.
        EXPECT_EQ(read2.GetNrTables(), generator.nrTables);
        EXPECT_EQ(A::CommentTags(read2), generator.bodies);
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
        "SampleID Note nm400 6CLR_1 SPOT_1\nEND_DATA_FORMAT\nNUMBER_OF_SETS 2\nBEGIN_DATA\n"
        "A \"x y\" 45,3 1 2\nB z 1e-3 3 4\nEND_DATA\nBEGIN_X\r\nbody\r\nEND_X\n",
        "NUMBER_OF_FIELDS 4\nBEGIN_DATA_FORMAT\nCMYK_C CMYK_M CMYK_Y CMYK_K\nEND_DATA_FORMAT\n"
        "NUMBER_OF_SETS 1\nBEGIN_DATA\n100 0 0 0\nEND_DATA\nBEGIN_DATA_FORMAT\nPC2_1 PC2_2 LAB_L LAB_A "
        "LAB_B\nEND_DATA_FORMAT\n"
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
            const unsigned op = rng() % 4;
            if (op == 0)
                text.insert(at, 1, pieces[rng() % sizeof pieces]);
            else if (op == 1 && at < text.size())
                text.erase(at, 1 + rng() % 8);
            else if (op == 2)
                text.insert(at, words[rng() % std::size(words)]);
            else if (op == 3)
                text.resize(at);
        }
        check(text);
        if (HasFatalFailure())
            return;
    }
    EXPECT_GT(readable, 300); // enough of them get through to the writer
}
