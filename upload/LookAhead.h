#pragma once
// What the upload run is about to ask the server, worked out ahead so that
// those read-only commands can be sent together: for the files that follow
// in the list, the folder each one enters (where it differs from the one
// before) and the look-up of each file that passes the two local tests of
// the unchanged rule. Planning stops at the first file that will be sent
// (it fails a local test; its folder is still entered), at a file whose
// local status cannot be read (the run will ask about it), and where the
// folder cannot be named by one absolute path. The local status read here
// only chooses what to ask: the run reads it again at its own step.

#include "platform/ftp/FtpConnection.h"

#include <optional>
#include <string>
#include <vector>

class CTessarineDoc;
struct LocalFileStatus;
struct ServerEntry;

struct LookAheadStart {
    int file = 0;                               // the file the run is at
    const LocalFileStatus* status = nullptr;    // its local status, as read at its step
    std::optional<std::string> enteredFolder;   // the target folder the connection is in
    std::string rootFolder;
};

// At most maxSteps steps.
std::vector<CFtpConnection::AheadStep> PlanLookAhead(const CTessarineDoc& doc, const ServerEntry& server,
                                                     const LookAheadStart& start, std::size_t maxSteps);
