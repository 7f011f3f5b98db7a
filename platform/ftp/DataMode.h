#pragma once
// How one control connection makes its data connections, and what the
// server has shown of it so far: one value that only goes down the ladder
// EPRT, PORT (active), EPSV, PASV (passive). It is changed in one place,
// Change, which traces every step, so each later transfer goes straight to
// what works and a fall-back is never made twice.

#include <functional>
#include <string>

namespace ftp {

class DataMode {
public:
    enum class Step {
        Eprt,       // active, EPRT not yet accepted
        EprtWorks,  // active, the server accepted an EPRT: a port may be named ahead
        Port,       // active, EPRT refused: PORT (IPv4 only)
        Epsv,       // passive, EPSV not yet used for a transfer
        EpsvWorks,  // passive, a transfer started through EPSV: the transfer command may go
                    // with its EPSV, the next EPSV may be asked for ahead
        EpsvAlone,  // passive, EPSV works, but the server answered a transfer command sent
                    // before the data connection with 425: EPSV, connect, then the command
        Pasv,       // passive, EPSV refused
    };

    DataMode(bool passive, std::function<void(const std::string&)> trace);

    Step Value() const { return m_step; }
    bool Passive() const { return m_step >= Step::Epsv; }
    // Moves to step, noting why in the trace (nothing when already there).
    void Change(Step step, const std::string& why);

private:
    Step m_step;
    std::function<void(const std::string&)> m_trace;
};

}  // namespace ftp
