// The outside components: string helpers, file floats, whole-file I/O and UTF-8 paths (the sinks
// are tested through the public handlers, the interpolator with the numeric edges).
#include "halden.h"
#include "nevra.h"
#include "ostrel.h"
#include "pindle.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

TEST(Halden, CaseInsensitiveComparisonBoundedCopyAndFileFloats)
{
    EXPECT_TRUE(strcmp_ci("Ill", "iLL") == 0 && strcmp_ci("ill", "il") != 0 && strcmp_ci("abc", "abd") != 0);
    EXPECT_TRUE(strcmp_ci("AZ", "az") == 0 && strcmp_ci("@[", "`{") != 0); // the ends of A-Z, and beside them
    EXPECT_TRUE(strncmp_ci("BEGIN_DATA", "begin_x", 6) == 0 && strncmp_ci("BEGIN_DATA", "begix", 6) != 0);
    EXPECT_NE(strcmp_ci("\xC4", "\xE4"), 0) << "only ASCII letters fold";
    EXPECT_TRUE(strcmp_ci("apple", "Banana") < 0 && strcmp_ci("b", "A") > 0); // ordered as strcasecmp
    char dst[5];
    strncpy_w0(dst, "abcdefgh", 4);
    EXPECT_STREQ(dst, "abcd");
    // File floats: fixed little-endian binary32.
    unsigned char bytes[4];
    fltoffl(1.0f, bytes);
    EXPECT_EQ(std::memcmp(bytes, "\x00\x00\x80\x3F", 4), 0);
    for (float v : { 0.0f, -2.5f, 3.14159f, 1e-30f, std::numeric_limits<float>::max() }) {
        float back = 0;
        fltoffl(v, bytes);
        ffltofl(bytes, &back);
        EXPECT_EQ(back, v);
    }
}

TEST(PindleFiles, WholeFileWriteReadAndUtf8Names)
{
    TempDir dir;
    const std::string name = dir.File("Gr\xC3\xBCn \xE2\x80\x93 D50.ill");
    EXPECT_EQ(Ostrel::ToUTF8String(Ostrel::FromUTF8String(name)), name);
    PindleFile* w = fopenw(nullptr, name.c_str(), "", 0);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(fputm(w, "ORVIV100", 8) == 8 && fclosx(w) == 0);
    PindleFile* r = fopenr("", name.c_str(), "", 0);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(fgeteof(r), 8);
    char buffer[16] = {};
    EXPECT_TRUE(fgetm(r, buffer, 16) == 8 && std::string(buffer) == "ORVIV100" && fclosx(r) == 0);
    EXPECT_TRUE(fopenr("", dir.File("missing").c_str(), "", 0) == nullptr && pindle_error != 0);

    const int fd = open_utf8(name.c_str(), O_WRONLY | O_TRUNC);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::write(fd, "x", 1), 1);
    ::close(fd);
    EXPECT_TRUE(TempDir::Read(name) == "x" && open_utf8(nullptr, O_RDONLY) == -1);
}
