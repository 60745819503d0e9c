// The crossing test of two connection lines: geometry with inclusive bounds, degenerate
// lines, and the layer rule.
#include <gtest/gtest.h>

#include "model/Geometry.h"

namespace tessaro {
namespace {

struct End {
    std::int32_t x, y;
    host::Layer layer;
};

struct CrossingCase {
    const char* name;
    End a1, a2, b1, b2;
    bool crosses;
};

class CrossingTable : public ::testing::TestWithParam<CrossingCase> {};

TEST_P(CrossingTable, GivesTheSameAnswerInEitherOrder) {
    const CrossingCase& c = GetParam();
    THotSpot a1(c.a1.x, c.a1.y, c.a1.layer, nullptr), a2(c.a2.x, c.a2.y, c.a2.layer, nullptr);
    THotSpot b1(c.b1.x, c.b1.y, c.b1.layer, nullptr), b2(c.b2.x, c.b2.y, c.b2.layer, nullptr);
    EXPECT_EQ(LinesCross(&a1, &a2, &b1, &b2), c.crosses) << c.name;
    EXPECT_EQ(LinesCross(&b1, &b2, &a1, &a2), c.crosses) << c.name << " (lines swapped)";
    EXPECT_EQ(LinesCross(&a2, &a1, &b2, &b1), c.crosses) << c.name << " (ends reversed)";
}

constexpr host::Layer T = 1, B = 32, M = 74;

INSTANTIATE_TEST_SUITE_P(
    Lines, CrossingTable,
    ::testing::Values(
        CrossingCase{"x_on_one_layer", {0, 0, T}, {100, 100, T}, {0, 100, T}, {100, 0, T}, true},
        CrossingCase{"shared_end_point", {0, 0, T}, {100, 0, T}, {100, 0, T}, {200, 50, T}, true},
        CrossingCase{
            "end_on_the_other_line", {0, 0, T}, {100, 0, T}, {50, 0, T}, {50, 80, T}, true},
        CrossingCase{"near_miss", {0, 0, T}, {100, 0, T}, {50, 1, T}, {50, 80, T}, false},
        CrossingCase{"collinear_overlap", {0, 0, T}, {100, 0, T}, {50, 0, T}, {150, 0, T}, true},
        CrossingCase{"collinear_diagonal_overlap",
                     {0, 0, T},
                     {100, 100, T},
                     {50, 50, T},
                     {150, 150, T},
                     true},
        CrossingCase{"collinear_apart", {0, 0, T}, {100, 0, T}, {101, 0, T}, {200, 0, T}, false},
        CrossingCase{"collinear_diagonal_apart",
                     {0, 0, T},
                     {100, 100, T},
                     {101, 101, T},
                     {200, 200, T},
                     false},
        CrossingCase{"parallel", {0, 0, T}, {100, 0, T}, {0, 10, T}, {100, 10, T}, false},
        CrossingCase{"parallel_diagonal_boxes_overlap",
                     {0, 0, T},
                     {100, 100, T},
                     {10, 0, T},
                     {110, 100, T},
                     false},
        CrossingCase{
            "zero_length_on_the_other", {50, 0, T}, {50, 0, T}, {0, 0, T}, {100, 0, T}, false},
        CrossingCase{"same_ends", {0, 0, T}, {100, 100, T}, {0, 0, T}, {100, 100, T}, false},
        CrossingCase{
            "same_ends_reversed", {0, 0, T}, {100, 100, T}, {100, 100, T}, {0, 0, T}, false},
        CrossingCase{
            "top_and_bottom_lines", {0, 0, T}, {100, 100, T}, {0, 100, B}, {100, 0, B}, false},
        CrossingCase{
            "top_and_multi_to_top", {0, 0, T}, {100, 100, T}, {0, 100, M}, {100, 0, T}, true},
        CrossingCase{
            "top_and_multi_to_bottom", {0, 0, T}, {100, 100, T}, {0, 100, M}, {100, 0, B}, false},
        CrossingCase{
            "top_and_multi_line", {0, 0, T}, {100, 100, T}, {0, 100, M}, {100, 0, M}, false},
        CrossingCase{"multi_to_top_and_multi_to_bottom",
                     {0, 0, M},
                     {100, 100, T},
                     {0, 100, M},
                     {100, 0, B},
                     true},
        CrossingCase{"top_to_bottom_and_bottom_to_top",
                     {0, 0, T},
                     {100, 100, B},
                     {0, 100, B},
                     {100, 0, T},
                     true},
        CrossingCase{"board_wide_lines",
                     {-2000000000, -2000000000, T},
                     {2000000000, 2000000000, T},
                     {-2000000000, 2000000000, T},
                     {2000000000, -2000000000, T},
                     true}),
    [](const ::testing::TestParamInfo<CrossingCase>& info) { return info.param.name; });

TEST(Distances, MissingEndsMeasureNothing) {
    THotSpot a(0, 0, 1, nullptr);
    EXPECT_EQ(Euclid(&a, nullptr), 0);
    EXPECT_EQ(Manhattan(nullptr, &a), 0);
    EXPECT_FALSE(LinesCross(&a, nullptr, &a, &a));
}

TEST(Distances, ManhattanAcrossTheWholeCoordinateRangeDoesNotWrap) {
    // Opposite corners of the widest board: 2 x 4294967294 units, beyond 32 bits.
    THotSpot low(-2147483647, -2147483647, 1, nullptr);
    THotSpot high(2147483647, 2147483647, 1, nullptr);
    EXPECT_EQ(Manhattan(&low, &high), 4.0 * 2147483647.0);
    THotSpot a(-300, 400, 1, nullptr), b(300, -400, 32, nullptr);
    EXPECT_EQ(Manhattan(&a, &b), 1400.0);
    EXPECT_EQ(Euclid(&a, &b), 1000.0);
}

}  // namespace
}  // namespace tessaro
