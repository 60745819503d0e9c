#include "hostapp/board/LayerNames.h"

#include "host/HostTypes.h"

namespace hostapp {

std::string LayerNameText(int layer) {
    if (layer == host::eTopLayer) return "Top Layer";
    if (layer == host::eBottomLayer) return "Bottom Layer";
    if (layer >= host::eMidLayer1 && layer <= host::eMidLayer30)
        return "Mid-Layer " + std::to_string(layer - host::eMidLayer1 + 1);
    if (layer == host::eMultiLayer) return "Multi-Layer";
    if (layer == host::eConnectLayer) return "Connections";
    if (layer == host::eNoLayer) return "No Layer";
    return "Layer " + std::to_string(layer);
}

}  // namespace hostapp
