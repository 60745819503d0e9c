// The person's picks on the board: a location, and the object at a location, asking which
// one was meant when several lie there.
#include <algorithm>

#include "hostapp/HostApplication.h"
#include "hostapp/board/Board.h"
#include "hostapp/board/LayerNames.h"
#include "platform/Person.h"
#include "platform/Platform.h"

namespace hostapp {

namespace {

// A point lies on copper when its distance is zero up to rounding of the shape arithmetic.
constexpr double kOnCopper = 1e-6;

}  // namespace

bool Board::ChooseLocation(std::int32_t& x, std::int32_t& y, const std::u16string& prompt) {
    CheckFault(faults_, "IPCB_Board.ChooseLocation");
    const auto point = platform::CurrentPerson().PickPoint(platform::Narrow(prompt));
    if (!point) return false;
    x = point->x;
    y = point->y;
    return true;
}

// "Pad U1-5 on Top Layer, net A1", "Via from Top Layer to Bottom Layer, no net", ...
std::string Board::OptionText(Primitive* prim) {
    std::string text = prim->KindText();
    if (prim->Kind() == host::eViaObject) {
        const auto [from, to] = prim->LayerSpan();
        text += " from " + LayerNameText(from) + " to " + LayerNameText(to);
    } else {
        text += " on " + LayerNameText(prim->LayerOf());
    }
    const Net* net = prim->NetOf();
    text += net ? ", net " + net->NetName() : ", no net";
    return text;
}

host::IPCB_Primitive* Board::GetObjectAtXYAskUserIfAmbiguous(std::int32_t x, std::int32_t y,
                                                             host::ObjectSet kinds,
                                                             const host::LayerSet& layers) {
    CheckFault(faults_, "IPCB_Board.GetObjectAtXYAskUserIfAmbiguous");
    UpdateRatsnest();
    const geom::Vec at{double(x), double(y)};
    std::vector<Primitive*> found;
    for (Primitive* prim : ObjectsInArea({at.x, at.y, at.x, at.y})) {
        if (!host::InSet(kinds, prim->Kind()) || !layers.Contains(prim->LayerOf())) continue;
        if (geom::Distance(prim->Copper(), at) <= kOnCopper) found.push_back(prim);
    }
    if (found.empty()) return nullptr;
    // Pads first: a click on a pad usually means the pad, not the track ending in it.
    std::stable_sort(found.begin(), found.end(), [](const Primitive* a, const Primitive* b) {
        return (a->Kind() == host::ePadObject) > (b->Kind() == host::ePadObject);
    });
    if (found.size() == 1) return found.front()->Interface();
    std::vector<std::string> options;
    options.reserve(found.size());
    for (Primitive* prim : found) options.push_back(OptionText(prim));
    const int chosen = platform::CurrentPerson().Choose("Choose the object meant", options);
    if (chosen < 0 || chosen >= static_cast<int>(found.size())) return nullptr;
    return found[static_cast<std::size_t>(chosen)]->Interface();
}

}  // namespace hostapp
