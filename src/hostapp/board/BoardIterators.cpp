#include "hostapp/board/BoardIterators.h"

#include <algorithm>

#include "hostapp/board/Board.h"
#include "hostapp/board/BoardObjects.h"

namespace hostapp {

ObjectIterator::ObjectIterator(Scope scope, Board* board, Component* component,
                               FaultInjector* faults)
    : scope_(scope), board_(board), component_(component), faults_(faults) {}

void ObjectIterator::AddFilter_ObjectSet(host::ObjectSet kinds) {
    CheckFault(faults_, "IPCB_Iterator.AddFilter_ObjectSet");
    kinds_ = kinds;
}

void ObjectIterator::AddFilter_LayerSet(const host::LayerSet& layers) {
    CheckFault(faults_, "IPCB_Iterator.AddFilter_LayerSet");
    layers_ = layers;
}

void ObjectIterator::AddFilter_Area(std::int32_t x1, std::int32_t y1, std::int32_t x2,
                                    std::int32_t y2) {
    CheckFault(faults_, "IPCB_Iterator.AddFilter_Area");
    area_ = geom::Bounds{double(std::min(x1, x2)), double(std::min(y1, y2)),
                         double(std::max(x1, x2)), double(std::max(y1, y2))};
}

bool ObjectIterator::Passes(const Primitive* prim) const {
    if (kinds_ && !host::InSet(*kinds_, prim->Kind())) return false;
    if (layers_ && !layers_->Contains(prim->LayerOf())) return false;
    return true;
}

void ObjectIterator::Collect() {
    found_.clear();
    next_ = 0;
    std::vector<Primitive*> candidates;
    switch (scope_) {
        case Scope::Group:
            for (Pad* pad : component_->Pads())
                if (pad->OnBoard()) candidates.push_back(pad);
            break;
        case Scope::Board:
        case Scope::Area:
            board_->UpdateRatsnest();
            if (area_) {
                candidates = board_->ObjectsInArea(*area_);
            } else {
                for (Primitive* prim : board_->Objects())
                    if (board_->Listed(prim)) candidates.push_back(prim);
            }
            break;
    }
    for (Primitive* prim : candidates)
        if (Passes(prim)) found_.push_back(prim);
}

host::IPCB_Primitive* ObjectIterator::FirstPCBObject() {
    CheckFault(faults_, "IPCB_Iterator.FirstPCBObject");
    Collect();
    started_ = true;
    if (found_.empty()) return nullptr;
    next_ = 1;
    return found_.front()->Interface();
}

host::IPCB_Primitive* ObjectIterator::NextPCBObject() {
    CheckFault(faults_, "IPCB_Iterator.NextPCBObject");
    if (!started_) {
        Collect();
        started_ = true;
    }
    if (next_ >= found_.size()) return nullptr;
    return found_[next_++]->Interface();
}

}  // namespace hostapp
