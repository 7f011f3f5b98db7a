#include "platform/ftp/DataMode.h"

namespace ftp {

namespace {

const char* Name(DataMode::Step step)
{
    switch (step) {
    case DataMode::Step::Eprt: return "active, EPRT";
    case DataMode::Step::EprtWorks: return "active, EPRT accepted";
    case DataMode::Step::Port: return "active, PORT";
    case DataMode::Step::Epsv: return "passive, EPSV";
    case DataMode::Step::EpsvWorks: return "passive, EPSV working";
    case DataMode::Step::EpsvAlone: return "passive, EPSV with the transfer command sent after connecting";
    case DataMode::Step::Pasv: return "passive, PASV";
    }
    return "?";
}

}  // namespace

DataMode::DataMode(bool passive, std::function<void(const std::string&)> trace)
    : m_step(passive ? Step::Epsv : Step::Eprt), m_trace(std::move(trace))
{
}

void DataMode::Change(Step step, const std::string& why)
{
    if (step == m_step)
        return;
    m_step = step;
    if (m_trace)
        m_trace(std::string("* data connections: ") + Name(step) + " (" + why + ")");
}

}  // namespace ftp
