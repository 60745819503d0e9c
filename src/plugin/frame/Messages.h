// Message boxes and the status bar. Every message of the plug-in is shown through these
// helpers; in test mode (registry key "\Software\Zentrel\TestMode") no box is shown: the
// caption and text go to the standard output and the process ends with exit code 1.
#pragma once

#include <string>

namespace tessaro {

void ShowError(const std::string& message, const std::string& caption = "");
void ShowInformation(const std::string& message, const std::string& caption = "");
void ShowWarning(const std::string& message, const std::string& caption = "");
bool AskYesNo(const std::string& caption, const std::string& message);
bool AskOkCancel(const std::string& caption, const std::string& message);
bool ConfirmYesNo(const std::string& message);

// Status-bar panes 1 to 3 and the host's progress display.
void ShowStatusText(int pane, const std::string& text);
void BeginProgress(const std::string& caption, int total);
void StepProgress();
void EndProgress();

// "%.3n"-style numbers: the locale's thousands and decimal separators, `decimals` places.
std::string FormatNumber(double value, int decimals);

}  // namespace tessaro
