// What every board command makes sure of before it works: that it was started from a PCB
// document, and that the document's project is a PCB project that is saved and compiled.
// The plug-in never saves a project; only a stale compilation is put right here.
#pragma once

#include <optional>
#include <string>

#include "host/Client.h"
#include "host/Workspace.h"

namespace tessaro {

// Project state codes, as CheckProjectState and EnsureProjectReady report them.
enum ProjectStateCode : int {
    psReady = 0,
    psNotInPcbProject = 1,
    psNeedsCompiling = 2,
    psNeedsSaving = 3,
    psCompileFailed = 4,
};

// The full file name of the context's document when the PCB server has a board for it.
std::optional<std::string> FindBoardForContext(host::IServerDocumentView* context);

// The project of a document, or nullptr when it is in none (or among the free documents).
host::IProject* FindDocumentProject(const std::string& documentPath);

// Checks without changing anything; code is one of ProjectStateCode.
bool CheckProjectState(const std::string& documentPath, int& code);

// As CheckProjectState, but compiles the project when a stale compilation is the only
// obstacle (code 4 when that compilation gives no compiled design).
bool EnsureProjectReady(const std::string& documentPath, int& code);

// The message shown for a code ("" for ready and unknown codes).
std::string ProjectStateMessage(int code);

}  // namespace tessaro
