// The outside components: sinks, string helpers, interpolator, file floats, whole-file I/O, paths.
#include "halden.h"
#include "nevra.h"
#include "ostrel.h"
#include "pindle.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

TEST(HaldenSinks, HandlersReceiveMessagesAndCanBeRestored)
{
    {
        MessageCapture capture;
        error_mess_fl("Something failed.", "tfile.cpp", 42);
        halden_warn(6, "Replaced.");
        ASSERT_EQ(capture.messages.size(), 1u);
        EXPECT_EQ(capture.messages[0].text, "Something failed.");
        EXPECT_EQ(capture.messages[0].file, "tfile.cpp");
        EXPECT_EQ(capture.messages[0].line, 42);
        ASSERT_EQ(capture.warnings.size(), 1u);
        EXPECT_EQ(capture.warnings[0].line, 6);
    }
    testing::internal::CaptureStderr();
    error_mess_fl("to stderr", "x.cpp", 7);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "x.cpp:7: to stderr\n");
}

TEST(HaldenStrings, CaseInsensitiveComparisonAndBoundedCopy)
{
    EXPECT_EQ(strcmp_ci("Ill", "iLL"), 0);
    EXPECT_NE(strcmp_ci("ill", "il"), 0);
    EXPECT_NE(strcmp_ci("abc", "abd"), 0);
    EXPECT_EQ(strncmp_ci("BEGIN_DATA", "begin_x", 6), 0);
    EXPECT_NE(strncmp_ci("BEGIN_DATA", "begix", 6), 0);
    EXPECT_EQ(strncmp_ci("ab", "AB", 10), 0);
    EXPECT_NE(strcmp_ci("\xC4", "\xE4"), 0) << "only ASCII letters fold";

    char dst[5];
    std::memset(dst, 'x', sizeof dst);
    strncpy_w0(dst, "abcdefgh", 4);
    EXPECT_STREQ(dst, "abcd");
    strncpy_w0(dst, "ab", 4);
    EXPECT_STREQ(dst, "ab");
}

TEST(HaldenInterpolation, AnyInsertOrderFlatEndsAndRejectedPoints)
{
    lin_interp_double* h = lin_interp_double_new(3, 0);
    ASSERT_NE(h, nullptr);
    double y = 0;
    EXPECT_LT(lin_interp_double_inter(h, 1.0, &y), 0);
    EXPECT_EQ(lin_interp_double_insert(h, 30.0, 3.0), 0);
    EXPECT_EQ(lin_interp_double_insert(h, 10.0, 1.0), 0);
    EXPECT_EQ(lin_interp_double_insert(h, 20.0, 5.0), 0);
    EXPECT_LT(lin_interp_double_insert(h, std::nan(""), 1.0), 0);
    EXPECT_LT(lin_interp_double_insert(h, 1.0, std::nan("")), 0);
    lin_interp_double_inter(h, 15.0, &y);
    EXPECT_DOUBLE_EQ(y, 3.0);
    lin_interp_double_inter(h, 25.0, &y);
    EXPECT_DOUBLE_EQ(y, 4.0);
    lin_interp_double_inter(h, 20.0, &y);
    EXPECT_DOUBLE_EQ(y, 5.0);
    lin_interp_double_inter(h, 0.0, &y);
    EXPECT_DOUBLE_EQ(y, 1.0);
    lin_interp_double_inter(h, 99.0, &y);
    EXPECT_DOUBLE_EQ(y, 3.0);
    // Points added after an evaluation take part in the next one.
    lin_interp_double_insert(h, 40.0, 7.0);
    lin_interp_double_inter(h, 35.0, &y);
    EXPECT_DOUBLE_EQ(y, 5.0);
    lin_interp_double_kill(h);
    EXPECT_LT(lin_interp_double_insert(nullptr, 1.0, 1.0), 0);
}

TEST(HaldenFileFloat, FixedLittleEndianBinary32RoundTrip)
{
    unsigned char bytes[4];
    fltoffl(1.0f, bytes);
    EXPECT_EQ(bytes[0], 0x00);
    EXPECT_EQ(bytes[1], 0x00);
    EXPECT_EQ(bytes[2], 0x80);
    EXPECT_EQ(bytes[3], 0x3F);
    for (float v : { 0.0f, -2.5f, 3.14159f, 1e-30f, std::numeric_limits<float>::max() }) {
        float back = 0;
        fltoffl(v, bytes);
        ffltofl(bytes, &back);
        EXPECT_EQ(back, v);
    }
}

TEST(PindleFiles, WholeFileWriteReadAndFailedOpen)
{
    const auto dir = boost::filesystem::temp_directory_path() / boost::filesystem::unique_path();
    boost::filesystem::create_directories(dir);
    const std::string name = (dir / "data.bin").string();
    PindleFile* w = fopenw(nullptr, name.c_str(), "", 0);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(pindle_error, 0);
    EXPECT_EQ(fputm(w, "ORVIV100", 8), 8);
    EXPECT_EQ(fclosx(w), 0);

    PindleFile* r = fopenr("", name.c_str(), "", 0);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(fgeteof(r), 8);
    char buffer[16] = {};
    EXPECT_EQ(fgetm(r, buffer, 16), 8);
    EXPECT_STREQ(buffer, "ORVIV100");
    EXPECT_EQ(fclosx(r), 0);

    EXPECT_EQ(fopenr("", (dir / "missing").string().c_str(), "", 0), nullptr);
    EXPECT_NE(pindle_error, 0);
    const int t1 = elapsed(0);
    EXPECT_GE(elapsed(0), t1);
    boost::filesystem::remove_all(dir);
}

TEST(OstrelAndNevra, Utf8NamesReachTheSameFile)
{
    const auto dir = boost::filesystem::temp_directory_path() / boost::filesystem::unique_path();
    boost::filesystem::create_directories(dir);
    const std::string utf8 = Ostrel::ToUTF8String(dir) + "/Gr\xC3\xBCn \xE2\x80\x93 D50.ill";
    const boost::filesystem::path p = Ostrel::FromUTF8String(utf8);
    EXPECT_EQ(Ostrel::ToUTF8String(p), utf8);
    const int fd = open_utf8(utf8.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::write(fd, "x", 1), 1);
    ::close(fd);
    EXPECT_TRUE(boost::filesystem::is_regular_file(p));
    EXPECT_EQ(boost::filesystem::file_size(p), 1u);
    EXPECT_EQ(open_utf8(nullptr, O_RDONLY), -1);
    boost::filesystem::remove_all(dir);
}
