// The scan session's quick crossing scan finds exactly the lines the full test finds, on
// lines crowded with shared ends, overlaps and layer changes, and on a board too large for
// exact products.
#include <gtest/gtest.h>

#include <random>

#include "model/CostScan.h"
#include "model/Geometry.h"
#include "model/Optimizer_Data.h"

namespace tessaro {
namespace {

struct ScanCase {
    const char* name;
    std::int32_t spread;  // coordinates in 0 .. spread (times scale)
    std::int32_t scale;
};

class CrossingScan : public ::testing::TestWithParam<ScanCase> {};

TEST_P(CrossingScan, FindsExactlyTheLinesOfTheFullTest) {
    const ScanCase c = GetParam();
    TSwapDataSet data("", smPinSwap);
    std::mt19937 random(17);
    const host::Layer layers[] = {1, 1, 32, 74};
    auto point = [&]() -> THotSpot* {
        const auto x = static_cast<std::int32_t>(random() % (c.spread + 1)) * c.scale;
        const auto y = static_cast<std::int32_t>(random() % (c.spread + 1)) * c.scale;
        return data.MakeHotSpot(x, y, layers[random() % 4], nullptr);
    };
    for (int i = 0; i < 300; ++i) {
        TSwapSubNet* s = data.Make<TSwapSubNet>(&data, nullptr, static_cast<std::int16_t>(i + 1));
        // A few lines lack an end; small spreads give many zero-length and shared-end lines.
        s->BestHotSpot = i % 37 == 0 ? nullptr : point();
        s->NetHotSpots = {point(), point()};
        s->NetIndex = i % 29 == 0 ? -1 : static_cast<std::int32_t>(random() % 2);
        data.SwapSubNets.push_back(s);
    }

    std::vector<std::vector<TSwapSubNet*>> full;
    for (TSwapSubNet* s : data.SwapSubNets) {
        data.BuildCrossings(s);
        full.push_back(s->Crossings);
    }
    std::size_t crossings = 0;
    {
        TCrossingScan scan(data);
        ASSERT_TRUE(TCrossingScan::IsOpenFor(data));
        for (std::size_t i = 0; i < data.SwapSubNets.size(); ++i) {
            TSwapSubNet* s = data.SwapSubNets[i];
            data.BuildCrossings(s);
            EXPECT_EQ(s->Crossings, full[i]) << "line " << i;
            crossings += s->Crossings.size();
        }
    }
    EXPECT_FALSE(TCrossingScan::IsOpenFor(data));
    EXPECT_GT(crossings, 300u);

    // With a group in focus: its lines move, now and then another line moves too.
    TSwapGroup* group = data.Make<TSwapGroup>(&data, "G", nullptr);
    for (std::size_t i = 0; i < data.SwapSubNets.size(); i += 7)
        group->SubNets.push_back(data.SwapSubNets[i]);
    group->Nets.assign(2, nullptr);
    auto fresh = [&data](const TSwapSubNet* s) {
        std::vector<TSwapSubNet*> list;
        for (TSwapSubNet* o : data.SwapSubNets)
            if (o != s && data.Crosses(s, o)) list.push_back(o);
        return list;
    };
    TCrossingScan scan(data);
    cost_detail::FocusOnGroup(data, group);
    for (int step = 0; step < 400; ++step) {
        const bool outside = step % 25 == 24;
        TSwapSubNet* moved = outside ? data.SwapSubNets[random() % data.SwapSubNets.size()]
                                     : group->SubNets[random() % group->SubNets.size()];
        moved->NetIndex = static_cast<std::int32_t>(random() % 2);
        cost_detail::RefreshLine(data, moved);
        TSwapSubNet* probe = group->SubNets[random() % group->SubNets.size()];
        data.BuildCrossings(probe);
        ASSERT_EQ(probe->Crossings, fresh(probe)) << "step " << step;
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, CrossingScan,
                         ::testing::Values(ScanCase{"crowded_grid", 6, 1},
                                           ScanCase{"board_scale", 1000, 10000},
                                           ScanCase{"beyond_exact_products", 1000, 2000000}),
                         [](const ::testing::TestParamInfo<ScanCase>& info) {
                             return info.param.name;
                         });

}  // namespace
}  // namespace tessaro
