// The names the host gives its layers ("Top Layer", "Mid-Layer 1", "Multi-Layer", ...).
#pragma once

#include <string>

namespace hostapp {

std::string LayerNameText(int layer);

}  // namespace hostapp
