#include "numpicture.h"

#include <gtest/gtest.h>

namespace {

struct PictureCase
{
    const char *picture;
    double value;
    const char *expected;
};

class FormatFloatTest : public ::testing::TestWithParam<PictureCase>
{};

TEST_P(FormatFloatTest, ShowsTheValueAsThePictureAsks)
{
    const PictureCase &c = GetParam();
    EXPECT_EQ(FormatFloat(QString::fromUtf8(c.picture), c.value), QString::fromUtf8(c.expected))
        << c.picture << " with " << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, FormatFloatTest,
    ::testing::Values(
        // fixed decimals, rounding halves away from zero on the value as written
        PictureCase{"0.00", 1.5, "1.50"}, PictureCase{"0.00", 0, "0.00"},
        PictureCase{"0.00", -1.5, "-1.50"}, PictureCase{"0.00", 1.005, "1.01"},
        PictureCase{"0.00", 2.675, "2.68"}, PictureCase{"0.00", 99.995, "100.00"},
        PictureCase{"0.00", -0.001, "0.00"}, PictureCase{"0", 2.5, "3"},
        PictureCase{"0", -2.5, "-3"}, PictureCase{"0", 1e20, "100000000000000000000"},
        // optional digits and forced integer digits
        PictureCase{"#.##", 0.5, ".5"}, PictureCase{"0.##", 1, "1"},
        PictureCase{"0.##", 1.25, "1.25"}, PictureCase{"0.0#", 1.2, "1.2"},
        PictureCase{"000", 5, "005"}, PictureCase{"00.0", 0.05, "00.1"},
        PictureCase{".00", 1.5, "1.50"},
        // thousands separators
        PictureCase{"#,##0", 1234567, "1,234,567"}, PictureCase{"#,##0.00", 1234.5, "1,234.50"},
        PictureCase{"#,##0", 0, "0"}, PictureCase{"#,##0", 999, "999"},
        // sections for negative and zero values
        PictureCase{"0.00;(0.00)", -1.5, "(1.50)"}, PictureCase{"0.00;(0.00)", 1.5, "1.50"},
        PictureCase{"0.00;(0.00);\"ゼロ\"", 0, "ゼロ"},
        PictureCase{"0.00;(0.00);\"ゼロ\"", 0.001, "ゼロ"},
        PictureCase{"0.00;;\"Zero\"", -1, "-1.00"},
        // scientific notation
        PictureCase{"0.00E+00", 1234.5, "1.23E+03"}, PictureCase{"0.00E+00", 0.000123, "1.23E-04"},
        PictureCase{"0.0E-0", 1234.5, "1.2E3"}, PictureCase{"0.0E-0", 0.05, "5.0E-2"},
        PictureCase{"0.00E+00", 0, "0.00E+00"}, PictureCase{"0.0E+0", 9.96, "1.0E+1"},
        // quoted and plain text around the number
        PictureCase{"\"約\"0.0\"m\"", 1.25, "約1.3m"}, PictureCase{"0.0 kN", 0.75, "0.8 kN"},
        PictureCase{"'#'0", 7, "#7"}));

struct TextCase
{
    const char *text;
    bool ok;
    double value;
};

class CellTextToFloatTest : public ::testing::TestWithParam<TextCase>
{};

TEST_P(CellTextToFloatTest, AcceptsOnlyDecimalNumbers)
{
    const TextCase &c = GetParam();
    double value = -99;
    EXPECT_EQ(CellTextToFloat(QString::fromUtf8(c.text), value), c.ok) << c.text;
    if (c.ok) {
        EXPECT_DOUBLE_EQ(value, c.value) << c.text;
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, CellTextToFloatTest,
                         ::testing::Values(TextCase{"1.5", true, 1.5}, TextCase{" 1.5 ", true, 1.5},
                                           TextCase{"-0.25", true, -0.25},
                                           TextCase{"1e3", true, 1000}, TextCase{"", false, 0},
                                           TextCase{"  ", false, 0}, TextCase{"abc", false, 0},
                                           TextCase{"自沈", false, 0}, TextCase{"1,5", false, 0},
                                           TextCase{"inf", false, 0}, TextCase{"nan", false, 0},
                                           TextCase{"1.5m", false, 0}));

} // namespace
