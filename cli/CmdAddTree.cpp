// tessarine add-tree SITE.tsn FOLDER [--web-folder BASE] [--exclude PATTERN]...
// [--dry-run]: every regular file below FOLDER, in sorted order, each with
// the web folder BASE plus its own subfolder. Files the list holds already
// (by the program's duplicate rule) are left as they are, so running it again
// after new pages were written adds only those.

#include "cli/Commands.h"
#include "cli/EditSession.h"
#include "cli/ExitCodes.h"
#include "cli/LocalPaths.h"
#include "cli/OptionParser.h"
#include "cli/TerminalMessageBox.h"
#include "cli/Utf8.h"

#include <sys/stat.h>

#include <cstdio>

namespace cli {

namespace {

const std::vector<OptionSpec> kAddTreeOptions = {
    {"web-folder", true}, {"exclude", true, 0, true}, {"dry-run", false}};

std::string Shown(const std::string& text)
{
    return EscapeControls(text, LineBreaks::escape);
}

// Whether path is the file of st (a link to it or another name of it too).
bool IsSameFile(const std::string& path, const struct stat& st)
{
    struct stat other {};
    return ::stat(path.c_str(), &other) == 0 && other.st_dev == st.st_dev && other.st_ino == st.st_ino;
}

int Finish(EditSession& session, int added, int left, bool dryRun)
{
    const char* files = added == 1 ? "file" : "files";
    if (dryRun) {
        std::printf("%d %s would be added, %d already listed; nothing was saved (--dry-run).\n", added, files, left);
        return kExitOk;
    }
    std::printf("%d %s added, %d already listed left as they were.\n", added, files, left);
    return added > 0 ? session.Finish(true) : kExitOk;
}

}  // namespace

std::string TreeWebFolder(const std::string& base, const std::string& subfolder)
{
    if (base.empty() || subfolder.empty())
        return base + subfolder;
    const char last = base.back();
    return base + (last == '/' || last == '\\' ? "" : "/") + subfolder;
}

int RunAddTree(const Args& args)
{
    EditSession session("add-tree");
    const ParsedOptions options = ParseOptions(args, kAddTreeOptions);
    if (const int opened = session.Open(options, 2, false, "the configuration file and one folder"); opened != kExitOk)
        return opened;
    const std::string& top = options.positional[1];
    const TreeListing tree = ListTree(top, options.Values("exclude"));
    if (!tree.topIsFolder) {
        std::fprintf(stderr, "tessarine: %s is not a folder; nothing was added.\n", Shown(top).c_str());
        return kExitRefused;
    }
    for (const std::string& folder : tree.unreadable)
        std::fprintf(stderr, "tessarine: %s could not be read; its files were left out.\n", Shown(folder).c_str());
    const std::string base = options.Value("web-folder").value_or("");
    const bool dryRun = options.Has("dry-run");
    int added = 0;
    int left = 0;
    // The configuration holds the passwords: kept in the site's folder, it
    // must never become one of the site's files.
    struct stat config {};
    const bool configFound = ::stat(session.Path().c_str(), &config) == 0;
    CRecordingMessageBox duplicates;  // a file listed already is left, without its message
    for (const TreeFile& file : tree.files) {
        if (configFound && IsSameFile(file.path, config)) {
            std::printf("Left out %s: it is this configuration.\n", Shown(file.path).c_str());
            continue;
        }
        const std::string webFolder = TreeWebFolder(base, file.subfolder);
        const int type = CTessarineDoc::IsAsciiTextFile(file.path) ? 1 : 0;
        if (!session.doc.AddFile(file.path, webFolder, type)) {
            ++left;
            continue;
        }
        ++added;
        std::printf("%s %s -> %s\n", dryRun ? "Would add" : "Added", Shown(file.path).c_str(),
                    webFolder.empty() ? "<base>" : Shown(session.doc.m_files.back().m_strWebFolder).c_str());
    }
    return Finish(session, added, left, dryRun);
}

}  // namespace cli
