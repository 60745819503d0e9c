// Readable names for the objects of a board under test: pads by reference ("Pad U1-5"),
// other objects by kind and their position among the board's objects of that kind
// ("Track#0", "Via#1").
#pragma once

#include <string>
#include <vector>

#include "hostapp/board/Board.h"

namespace boardtest {

inline std::string NameOf(hostapp::Board& board, const hostapp::Primitive* prim) {
    if (prim->Kind() == host::ePadObject) return prim->KindText();
    int index = 0;
    for (const hostapp::Primitive* other : board.Objects()) {
        if (other == prim) return prim->KindText() + "#" + std::to_string(index);
        if (other->Kind() == prim->Kind()) ++index;
    }
    return prim->KindText() + "#?";
}

inline std::string NameOf(hostapp::Board& board, host::IPCB_Primitive* prim) {
    return NameOf(board, hostapp::HostPrimitive(prim));
}

// The first object of a kind in board order (nullptr when there is none).
inline host::IPCB_Primitive* FirstOfKind(hostapp::Board& board, host::ObjectKind kind) {
    for (hostapp::Primitive* prim : board.Objects())
        if (prim->Kind() == kind) return prim->Interface();
    return nullptr;
}

inline std::vector<std::vector<std::string>> PieceNames(hostapp::Board& board,
                                                        const std::string& net) {
    std::vector<std::vector<std::string>> out;
    for (const auto& piece : board.NetByName(net)->ConnectedPieces()) {
        auto& names = out.emplace_back();
        for (host::IPCB_Primitive* prim : piece) names.push_back(NameOf(board, prim));
    }
    return out;
}

}  // namespace boardtest
