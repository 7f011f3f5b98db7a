#include "upload/LookAhead.h"

#include "model/FileStatus.h"
#include "model/TessarineDoc.h"
#include "platform/ftp/RemoteFolder.h"
#include "upload/UploadNames.h"

std::vector<CFtpConnection::AheadStep> PlanLookAhead(const CTessarineDoc& doc, const ServerEntry& server,
                                                     const LookAheadStart& start, std::size_t maxSteps)
{
    std::vector<CFtpConnection::AheadStep> steps;
    std::optional<std::string> entered = start.enteredFolder;
    const int count = static_cast<int>(doc.m_files.size());
    for (int i = start.file; i < count && steps.size() + 2 <= maxSteps; ++i) {
        const FileEntry& entry = doc.m_files[static_cast<std::size_t>(i)];
        const UploadNames names = BuildUploadNames(entry.m_strFileName, server.m_strBaseFolder, entry.m_strWebFolder);
        const std::optional<LocalFileStatus> status =
            i == start.file ? std::optional<LocalFileStatus>(*start.status) : GetLocalFileStatus(entry.m_strFileName);
        if (!status)
            break;
        if (!entered || *entered != names.targetFolder) {
            // The connection enters an empty target folder with "CWD root",
            // any other with one CWD to its absolute path.
            const std::string folder = names.targetFolder.empty()
                                           ? start.rootFolder
                                           : ftp::CombinedFolder(start.rootFolder, names.targetFolder);
            if (folder.empty() || folder[0] != '/')
                break;
            steps.push_back({true, folder});
            entered = names.targetFolder;
        }
        if (!MatchesLocalRecord(entry, *status))
            break;
        steps.push_back({false, names.targetName});
    }
    return steps;
}
