// Synthetic designs of any size for demos, tests and benchmarks, deterministic from a seed:
// an FPGA-like ball grid whose IO pins form pin swap groups by bank, each pin routed out a
// short way, with memories, connectors and resistor networks around it and nets assigned so
// that the unrouted connections are tangled.
#pragma once

#include <cstdint>

#include "hostapp/design/DesignData.h"

namespace generator {

struct GeneratorOptions {
    std::uint32_t seed = 1;
    int banks = 4;              // pin swap groups of the FPGA, one per bank
    int pinsPerBank = 48;       // swappable IO pins per bank (group size)
    int memories = 2;           // parallel memories fed from the banks
    int connectors = 2;         // connectors fed from the banks
    int resistorNetworks = 2;   // quad resistor networks (gates that swap as parts)
    int differentialPairs = 4;  // pairs on the FPGA that swap as pairs
};

// The same options give the same design, byte for byte once written, wherever it is built.
// Limits: banks 0..64, pinsPerBank 0..1000, memories and connectors 0..64, resistorNetworks
// 0..256, differentialPairs 0..1000; anything else raises std::invalid_argument.
hostapp::design::DesignData GenerateDesign(const GeneratorOptions& options);

}  // namespace generator
