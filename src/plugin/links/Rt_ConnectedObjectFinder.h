// The copper connected to a pad, and the entries the plug-in puts into the host's message
// list (information, and errors that cross-probe to a schematic pin or a PCB pad).
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "host/Pcb.h"
#include "host/Workspace.h"

namespace tessaro {

class TSwapDataSet;

// Breadth-first search over touching copper from a seed pad. Crosses layers only through
// multi-layer objects, and never through net-tie components.
class TConnectedObjectFinder {
  public:
    TConnectedObjectFinder(host::IPCB_Board* board, host::ObjectSet objectKinds,
                           std::vector<host::IPCB_Primitive*>& found, host::IPCB_Pad* seed);
    void Search();
    void AddFound(host::IPCB_Primitive* object);

    host::IPCB_Board* Board;
    std::deque<host::IPCB_Primitive*> Queue;
    std::vector<host::IPCB_Primitive*>& Found;
    host::ObjectSet ObjectKinds;
};

void AddInformationMessage(const std::string& text, const std::string& documentPath,
                           const std::string& source);
void AddSchCrossProbeError(const std::string& text, const std::string& documentPath,
                           const std::string& objectKind, const std::string& primaryId);
void AddPcbCrossProbeError(const std::string& text, const std::string& documentPath,
                           const std::string& kind, const std::string& id);
void ReportUnswappableSchPin(host::INetItem* schPin);
void ReportUnmatchedPad(const TSwapDataSet& dataSet, host::IPCB_Pad* pad,
                        host::IPCB_Component* component);

}  // namespace tessaro
