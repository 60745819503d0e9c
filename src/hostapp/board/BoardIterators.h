// The board's iterators: over the whole board, over an area of it (answered by the spatial
// index), or over one component's own objects. Filters are set before the first object is
// asked for; the objects found are fixed then, so the board may change while a caller walks
// them.
#pragma once

#include <optional>
#include <vector>

#include "host/Pcb.h"
#include "hostapp/board/Geometry.h"

namespace hostapp {

class Board;
class Component;
class FaultInjector;
class Primitive;

class ObjectIterator final : public host::IPCB_Iterator {
  public:
    enum class Scope { Board, Area, Group };

    ObjectIterator(Scope scope, Board* board, Component* component, FaultInjector* faults);

    void AddFilter_ObjectSet(host::ObjectSet kinds) override;
    void AddFilter_LayerSet(const host::LayerSet& layers) override;
    void AddFilter_Area(std::int32_t x1, std::int32_t y1, std::int32_t x2,
                        std::int32_t y2) override;
    host::IPCB_Primitive* FirstPCBObject() override;
    host::IPCB_Primitive* NextPCBObject() override;

  private:
    void Collect();
    bool Passes(const Primitive* prim) const;

    Scope scope_;
    Board* board_;
    Component* component_;
    FaultInjector* faults_;
    std::optional<host::ObjectSet> kinds_;
    std::optional<host::LayerSet> layers_;
    std::optional<geom::Bounds> area_;
    std::vector<Primitive*> found_;
    std::size_t next_ = 0;
    bool started_ = false;
};

}  // namespace hostapp
