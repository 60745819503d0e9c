// The exchange bookkeeping: after every committed exchange the totals and crossing lists
// equal a fresh count; a rolled-back try leaves everything as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <random>

#include "generator/BoardGenerator.h"
#include "model/CostScan.h"
#include "plugin/cost/SwapHost.h"

namespace tessaro::optim_test {
namespace {

struct Snapshot {
    std::int32_t xOvers;
    double cost;
    std::vector<std::int32_t> netIndex;
    std::vector<std::vector<TSwapSubNet*>> crossings;
};

Snapshot Take(const TSwapDataSet& d) {
    Snapshot s{d.XOvers, d.ConnectionCost, {}, {}};
    for (const TSwapSubNet* sub : d.SwapSubNets) {
        s.netIndex.push_back(sub->NetIndex);
        s.crossings.push_back(sub->Crossings);
    }
    return s;
}

// Every crossing list holds exactly the lines crossing it now (order aside).
void ExpectFreshCrossingLists(const TSwapDataSet& d) {
    for (const TSwapSubNet* s : d.SwapSubNets) {
        std::vector<const TSwapSubNet*> fresh;
        for (const TSwapSubNet* o : d.SwapSubNets)
            if (o != s && d.Crosses(s, o)) fresh.push_back(o);
        std::vector<const TSwapSubNet*> kept(s->Crossings.begin(), s->Crossings.end());
        std::sort(fresh.begin(), fresh.end());
        std::sort(kept.begin(), kept.end());
        ASSERT_EQ(kept, fresh);
    }
}

enum class Scan { Plain, Boxed };

struct SequenceCase {
    const char* name;
    Scan scan;
    bool generated;
};

class ExchangeSequence : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(ExchangeSequence, KeepsTotalsEqualToAFreshCount) {
    const SequenceCase& param = GetParam();
    hostapp::design::DesignData design;
    if (param.generated) {
        generator::GeneratorOptions options;
        options.seed = 5;
        options.banks = 2;
        options.pinsPerBank = 24;
        design = generator::GenerateDesign(options);
    } else {
        design = ShuffledFan(40, 11, 2);
    }
    SwapHost host(std::move(design));
    auto data = host.Analysed();
    ASSERT_GE(data->PinSwapGroups.size(), 2u);

    std::optional<TCrossingScan> scan;
    if (param.scan == Scan::Boxed) scan.emplace(*data);

    std::mt19937 random(3);
    int commits = 0, changedCrossings = 0;
    for (TSwapGroup* group : {data->PinSwapGroups[0], data->PinSwapGroups[1]}) {
        // PrepareGroup gives the group's sub-nets new ends; start from a consistent count.
        data->PrepareGroup(group);
        Recount(*data);
        const auto n = static_cast<int>(group->SubNets.size());
        ASSERT_GE(n, 4);
        for (int step = 0; step < 150; ++step) {
            TSwapSubNet* a = group->SubNets[static_cast<std::size_t>(random() % n)];
            TSwapSubNet* b = group->SubNets[static_cast<std::size_t>(random() % n)];
            if (a == b) continue;
            const Snapshot before = Take(*data);
            data->TryExchange(a, b);
            // The totals of a try are those of the board with the exchange made.
            ASSERT_EQ(data->XOvers, data->CountCrossings());
            ASSERT_EQ(data->ConnectionCost, FreshLength(*data));
            if (random() % 2) {
                data->CommitExchange(a, b);
                ++commits;
                if (data->XOvers != before.xOvers) ++changedCrossings;
                ASSERT_EQ(data->XOvers, data->CountCrossings());
                ASSERT_EQ(data->ConnectionCost, FreshLength(*data));
                ExpectFreshCrossingLists(*data);
                for (TSwapSubNet* s : {a, b}) {
                    EXPECT_EQ(s->Line->End1, s->BestHotSpot);
                    EXPECT_EQ(s->Line->End2, s->CurrentNetHotSpot());
                }
            } else {
                data->RollbackExchange(a, b);
                const Snapshot after = Take(*data);
                ASSERT_EQ(after.xOvers, before.xOvers);
                ASSERT_EQ(after.cost, before.cost);
                ASSERT_EQ(after.netIndex, before.netIndex);
                ASSERT_EQ(after.crossings, before.crossings);
            }
        }
    }
    // The sequence did exercise the crossing bookkeeping.
    EXPECT_GT(commits, 50);
    EXPECT_GT(changedCrossings, 5);
}

INSTANTIATE_TEST_SUITE_P(Boards, ExchangeSequence,
                         ::testing::Values(SequenceCase{"fan_plain", Scan::Plain, false},
                                           SequenceCase{"fan_boxed", Scan::Boxed, false},
                                           SequenceCase{"generated_boxed", Scan::Boxed, true}),
                         [](const ::testing::TestParamInfo<SequenceCase>& info) {
                             return info.param.name;
                         });

TEST(Exchange, TotalCostOfManyCrossingsDoesNotWrap) {
    TSwapDataSet data("", smPinSwap);
    data.XOvers = 100000;  // 100000 x 50000 is beyond 32 bits
    data.ConnectionCost = 0.5;
    EXPECT_EQ(data.TotalCost(), 5000000000.5);
    data.XOvers = 3;
    data.ConnectionCost = 1234.0;
    EXPECT_EQ(data.TotalCost(), 151234.0);
}

}  // namespace
}  // namespace tessaro::optim_test
