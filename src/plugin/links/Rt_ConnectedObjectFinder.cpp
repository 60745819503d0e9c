// The search for the copper connected to a pad: breadth first over touching objects,
// crossing layers only through multi-layer objects.
#include "links/Rt_ConnectedObjectFinder.h"

namespace tessaro {

namespace {

bool Visited(host::IPCB_Primitive* object) {
    return object->VisitMark1() || object->VisitMark2();
}

// Objects of net ties join nets on purpose; a search must not run through them.
bool InNetTie(host::IPCB_Primitive* object) {
    host::IPCB_Component* component = object->Component();
    if (component == nullptr) return false;
    const host::ComponentKind kind = component->Kind();
    return kind == host::ComponentKind::NetTie || kind == host::ComponentKind::NetTieNoBom;
}

}  // namespace

TConnectedObjectFinder::TConnectedObjectFinder(host::IPCB_Board* board, host::ObjectSet objectKinds,
                                               std::vector<host::IPCB_Primitive*>& found,
                                               host::IPCB_Pad* seed)
    : Board(board), Found(found), ObjectKinds(objectKinds) {
    // Every object a search can reach starts unvisited.
    Board->ResetVisitMarks();
    AddFound(seed);
}

void TConnectedObjectFinder::AddFound(host::IPCB_Primitive* object) {
    if (object == nullptr) return;
    if (!Visited(object)) Found.push_back(object);
    Queue.push_back(object);
    object->SetVisitMark1(true);
    object->SetVisitMark2(true);
}

void TConnectedObjectFinder::Search() {
    // The iterator is released however the search ends.
    std::unique_ptr<host::IPCB_Iterator> iterator = Board->SpatialIterator_Create();
    while (!Queue.empty()) {
        host::IPCB_Primitive* current = Queue.front();
        const host::Rect area = current->BoundingRectangle();
        host::LayerSet layers = host::LayerSet::Of({host::eMultiLayer});
        const host::Layer layer = current->GetLayer();
        if (layer == host::eMultiLayer) {
            for (int l = host::eTopLayer; l <= host::eBottomLayer; ++l) layers.Include(l);
        } else {
            layers.Include(layer);
        }
        iterator->AddFilter_ObjectSet(ObjectKinds);
        iterator->AddFilter_LayerSet(layers);
        iterator->AddFilter_Area(area.left, area.bottom, area.right, area.top);
        for (host::IPCB_Primitive* object = iterator->FirstPCBObject(); object != nullptr;
             object = iterator->NextPCBObject()) {
            if (object->IsKeepout() || Visited(object)) continue;
            if (object->IsExcludedFromConnectivity()) continue;
            if (InNetTie(object)) continue;
            if (Board->PrimPrimDistance(object, current) < 1) AddFound(object);
        }
        Queue.pop_front();
    }
}

}  // namespace tessaro
