// tessarine add-server, edit-server, remove-server: the document's server
// operations applied to a configuration file.

#include "cli/CommandLineDialogs.h"
#include "cli/Commands.h"
#include "cli/EditSession.h"
#include "cli/ExitCodes.h"
#include "cli/OptionParser.h"

namespace cli {

namespace {

// Fills dialogs with the server options given. False after a usage error.
bool TakeServerOptions(const EditSession& session, const ParsedOptions& options, CommandLineDialogs& dialogs)
{
    bool usageFailed = false;
    dialogs.password = PasswordOption(session, options, usageFailed);
    dialogs.serverName = options.Value("server");
    dialogs.userName = options.Value("user");
    dialogs.baseFolder = options.Value("base-folder");
    return !usageFailed;
}

}  // namespace

int RunAddServer(const Args& args)
{
    EditSession session("add-server");
    const ParsedOptions options = ParseOptions(args, ServerOptionSpecs());
    if (options.ok() && (!options.Has("server") || !options.Has("user")))
        return session.Usage("--server and --user are needed");
    if (const int opened = session.Open(options, 1, false, "one configuration file"); opened != kExitOk)
        return opened;
    CommandLineDialogs dialogs;
    if (!TakeServerOptions(session, options, dialogs))
        return kExitUsage;
    return session.Finish(session.doc.AddServerThroughDialog(dialogs));
}

int RunEditServer(const Args& args)
{
    EditSession session("edit-server");
    const ParsedOptions options = ParseOptions(args, ServerOptionSpecs());
    if (const int opened = session.Open(options, 2, false, "the configuration file and one server index");
        opened != kExitOk)
        return opened;
    CommandLineDialogs dialogs;
    if (!TakeServerOptions(session, options, dialogs))
        return kExitUsage;
    const auto indices = session.ParseIndices({options.positional[1]}, session.doc.m_servers.size(), "server");
    if (!indices)
        return kExitUsage;
    return session.Finish(session.doc.EditServer(dialogs, session.ServerRows(*indices)));
}

int RunRemoveServer(const Args& args)
{
    return RunRemoveCommand(args, "remove-server", EntryKind::servers);
}

}  // namespace cli
