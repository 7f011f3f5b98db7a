#pragma once
// The platform services start-up brings up, behind one interface so that a
// test can make each of them fail. The program uses SystemStartupServices.

#include <string>

class CTessarineApp;

class IStartupServices {
public:
    virtual ~IStartupServices() = default;
    // True when the program can use sockets (one can be created).
    virtual bool InitSockets() = 0;
    // True when the per-user runtime folder exists with mode 0700: where the
    // running copies listen for each other.
    virtual bool InitRuntimeFolder() = 0;
    // The installer's first look at the command line: true when the program
    // must end now.
    virtual bool SelfInstall(CTessarineApp& app) = 0;
    // Starts a desktop-database refresh command line; its absence is fine.
    virtual void RunRefresh(const std::string& commandLine) = 0;
};

class SystemStartupServices : public IStartupServices {
public:
    bool InitSockets() override;
    bool InitRuntimeFolder() override;
    bool SelfInstall(CTessarineApp& app) override;
    void RunRefresh(const std::string& commandLine) override;
};
