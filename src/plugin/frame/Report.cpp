#include "frame/Report.h"

#include "frame/Messages.h"

namespace tessaro {

const char* LengthVerdict(double before, double after) {
    if (before > after) return "Reduced";
    if (before == after) return "(No Change)";
    return "Increased";
}

const char* CrossingVerdict(std::int32_t before, std::int32_t after) {
    if (after < before) return "Reduced";
    if (after > before) return "Increased";
    return "(No Change)";
}

ReportUnit BoardReportUnit(host::IPCB_Board* board) {
    if (board && board->GetDisplayUnit() == host::eMetric) return {"mm", 25.4};
    return {"inches", 1.0};
}

double ToReportUnit(double boardUnits, const ReportUnit& unit) {
    // Board units to mils to inches, then to millimetres on a metric board; the long double
    // keeps the rounding of the three decimals shown stable.
    long double value = static_cast<long double>(boardUnits) * unit.factor;
    value = value / 10000.0L / 1000.0L;
    return static_cast<double>(value);
}

std::string FormatLengthAndCrossings(double lengthBefore, double lengthAfter,
                                     std::int32_t crossingsBefore, std::int32_t crossingsAfter,
                                     host::IPCB_Board* board) {
    const ReportUnit unit = BoardReportUnit(board);
    std::string text = "Length ";
    text += LengthVerdict(lengthBefore, lengthAfter);
    text += " From " + FormatNumber(ToReportUnit(lengthBefore, unit), 3);
    text += " To " + FormatNumber(ToReportUnit(lengthAfter, unit), 3);
    text += " (Delta=" + FormatNumber(ToReportUnit(lengthBefore - lengthAfter, unit), 3) + ") ";
    text += unit.text;
    text += " \r\rCross-Overs ";
    text += CrossingVerdict(crossingsBefore, crossingsAfter);
    text += " From " + std::to_string(crossingsBefore);
    text += " To " + std::to_string(crossingsAfter);
    text +=
        " (Delta=" + std::to_string(static_cast<std::int64_t>(crossingsBefore) - crossingsAfter) +
        ")";
    return text;
}

std::string FormatSwapReport(double lengthBefore, double lengthAfter, std::int32_t crossingsBefore,
                             std::int32_t crossingsAfter, host::IPCB_Board* board) {
    return FormatLengthAndCrossings(lengthBefore, lengthAfter, crossingsBefore, crossingsAfter,
                                    board);
}

}  // namespace tessaro
