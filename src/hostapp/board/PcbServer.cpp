#include <algorithm>
#include <stdexcept>

#include "hostapp/HostApplication.h"
#include "hostapp/board/Board.h"
#include "platform/Platform.h"

namespace hostapp {

PcbServer::PcbServer(FaultInjector* faults) : faults_(faults) {}

PcbServer::~PcbServer() = default;

Board& PcbServer::OpenBoard(const design::BoardData& data, const std::string& fullPath) {
    if (FindBoard(fullPath)) throw std::logic_error("the board " + fullPath + " is already open");
    boards_.push_back(std::make_unique<Board>(data, fullPath, faults_));
    return *boards_.back();
}

void PcbServer::CloseBoard(const std::string& fullPath) {
    boards_.erase(std::remove_if(boards_.begin(), boards_.end(),
                                 [&](const std::unique_ptr<Board>& board) {
                                     return platform::SameText(board->FullPath(), fullPath);
                                 }),
                  boards_.end());
}

// Paths name files the way the host's file system does: without regard to letter case.
Board* PcbServer::FindBoard(const std::string& fullPath) const {
    for (const auto& board : boards_)
        if (platform::SameText(board->FullPath(), fullPath)) return board.get();
    return nullptr;
}

host::Status PcbServer::QueryInterface(const host::Guid& iid, void** out) {
    if (!out) return host::E_POINTER;
    if (iid == host::IID_IUnknown) {
        *out = static_cast<host::IUnknown*>(this);
        return host::S_OK;
    }
    *out = nullptr;
    return host::E_NOINTERFACE;
}

host::IPCB_Board* PcbServer::GetPCBBoardByPath(const std::u16string& path) {
    CheckFault(faults_, "IPCB_ServerInterface.GetPCBBoardByPath");
    return FindBoard(platform::Narrow(path));
}

host::IPCB_Connection* PcbServer::CreateConnection() {
    CheckFault(faults_, "IPCB_ServerInterface.CreateConnection");
    connections_.push_back(std::make_unique<Connection>(false, faults_));
    return connections_.back().get();
}

host::IPCB_Net* PcbServer::CreateNet() {
    CheckFault(faults_, "IPCB_ServerInterface.CreateNet");
    nets_.push_back(std::make_unique<Net>(std::string(), faults_));
    return nets_.back().get();
}

void PcbServer::PreProcess() {
    CheckFault(faults_, "IPCB_ServerInterface.PreProcess");
    ++preProcess_;
}

void PcbServer::PostProcess() {
    CheckFault(faults_, "IPCB_ServerInterface.PostProcess");
    ++postProcess_;
}

}  // namespace hostapp
