// The before-and-after summary that both the automatic run and the manual swap commands
// write: verdict words, the length unit of the board's display unit, and the common
// "Length ... Cross-Overs ..." body. One place, so the two reports cannot drift apart.
#pragma once

#include <cstdint>
#include <string>

#include "host/Pcb.h"

namespace tessaro {

// "Reduced" when the length went down, "(No Change)" when equal, "Increased" otherwise.
const char* LengthVerdict(double before, double after);
// "Reduced" when fewer crossings remain, "Increased" when more, "(No Change)" when equal.
const char* CrossingVerdict(std::int32_t before, std::int32_t after);

// The unit lengths are shown in: "mm" with factor 25.4 on a metric board, else "inches"
// with factor 1.0 (a missing board counts as not metric).
struct ReportUnit {
    const char* text;
    double factor;
};
ReportUnit BoardReportUnit(host::IPCB_Board* board);
// A length in board units shown in the report unit: units x factor / 10000 / 1000.
double ToReportUnit(double boardUnits, const ReportUnit& unit);

// "Length %s From %.3n To %.3n (Delta=%.3n) %s \r\rCross-Overs %s From %d To %d (Delta=%d)"
// filled from the two measurements (lengths in board units).
std::string FormatLengthAndCrossings(double lengthBefore, double lengthAfter,
                                     std::int32_t crossingsBefore, std::int32_t crossingsAfter,
                                     host::IPCB_Board* board);

// The manual commands' result line: the common body with no elapsed time.
std::string FormatSwapReport(double lengthBefore, double lengthAfter, std::int32_t crossingsBefore,
                             std::int32_t crossingsAfter, host::IPCB_Board* board);

}  // namespace tessaro
