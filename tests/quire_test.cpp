// The store's item texts read as numbers by index. Files, locks and damage are tested through the
// cache file that uses the store.
#include "quire.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

TEST(QuireItemText, NumbersByIndex)
{
    // Text, index, expected result (or failure): separators are blanks and commas, never decimal marks.
    const struct {
        const char* text;
        int index;
        bool ok;
        double value;
    } ints[] = { { "12, 13\t-4", 0, true, 12 }, { "12, 13\t-4", 2, true, -4 }, { "12,,13", 1, true, 13 },
        { "+7", 0, true, 7 }, { "12, 13", 2, false, 0 }, { "12, 13", -1, false, 0 }, { "12.5", 0, false, 0 },
        { "3000000000", 0, false, 0 }, { "+-3", 0, false, 0 }, { nullptr, 0, false, 0 },
        { "", 0, false, 0 } },
      doubles[] = { { "  0.5000", 0, true, 0.5 }, { "1 2.5e-3 -7", 1, true, 2.5e-3 }, { "12", 0, true, 12 },
          { "1,5", 1, true, 5 }, { "0.5x", 0, false, 0 }, { "1e400", 0, false, 0 } };
    for (const auto& r : ints) {
        int n = 99;
        EXPECT_EQ(str_int_from_itemstr(r.text, r.index, &n), r.ok ? 0 : -1) << (r.text ? r.text : "null");
        EXPECT_EQ(n, r.ok ? r.value : 99) << "a failed read leaves the target alone";
    }
    for (const auto& r : doubles) {
        double d = 99;
        EXPECT_EQ(str_double_from_itemstr(r.text, r.index, &d), r.ok ? 0 : -1) << r.text;
        EXPECT_EQ(d, r.ok ? r.value : 99) << r.text;
    }
    double d = 0;
    EXPECT_TRUE(str_double_from_itemstr("   nan", 0, &d) == 0 && std::isnan(d));
}

// An item read as a number: found (1, quire_err 0) or not (0, with the store's code for it).
TEST(QuireItemText, SearchedAsANumber)
{
    const std::string path = testing::TempDir() + "quire_search_int_test.quire";
    std::remove(path.c_str());
    Quire* quire = quire_open();
    ASSERT_NE(quire, nullptr);
    ASSERT_GT(quire_create_rfile(quire, path.c_str()), 0);
    ASSERT_EQ(quire_add_item(quire, "topic", "count", "42, 7", nullptr), 1);
    int value = 0;
    EXPECT_EQ(quire_search_int(quire, "topic", "count", &value), 1);
    EXPECT_EQ(quire_err, 0);
    EXPECT_EQ(value, 42);
    EXPECT_EQ(quire_search_int(quire, "topic", "missing", &value), 0);
    EXPECT_NE(quire_err, 0);
    EXPECT_EQ(value, 42);
    quire_close(quire);
    std::remove(path.c_str());
}
