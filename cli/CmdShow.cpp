// tessarine show SITE.tsn [--json [--show-passwords]] [--status]: the
// configuration in document order. The text listing never shows passwords.
// --status lists only the files the next upload would consider sending.

#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/JsonWriter.h"
#include "cli/OptionParser.h"
#include "cli/ToolDocument.h"
#include "cli/Utf8.h"
#include "model/FileStatus.h"
#include "platform/ftp/ServerScheme.h"

#include <cstdio>
#include <ctime>

namespace cli {

namespace {

const char* TypeText(const FileEntry& file)
{
    return (file.m_wFlags & FILE_ASCII) ? "ASCII" : "Binary";
}

void WriteServerJson(JsonWriter& json, std::size_t index, const ServerEntry& server, bool showPassword)
{
    json.BeginObject();
    json.Member("index", static_cast<std::int64_t>(index));
    json.Member("serverName", server.m_strServerName);
    // A name the run would refuse has no mode either: null, like plain FTP.
    const auto name = ftp::ParseServerName(server.m_strServerName);
    const char* tls = name ? ftp::TlsModeName(name->tls) : nullptr;
    json.Key("tls");
    if (tls)
        json.String(tls);
    else
        json.Null();
    json.Member("userName", server.m_strUserName);
    json.Member("baseFolder", server.m_strBaseFolder);
    if (showPassword) {
        json.Member("password", server.m_strPassword);
    }
    json.EndObject();
}

void WriteFileJson(JsonWriter& json, std::size_t index, const FileEntry& file)
{
    json.BeginObject();
    json.Member("index", static_cast<std::int64_t>(index));
    json.Member("fileName", file.m_strFileName);
    json.Member("webFolder", file.m_strWebFolder);
    json.Member("flags", file.m_wFlags);
    json.Member("type", TypeText(file));
    json.Member("timeLocal", file.m_timeLocal.GetTime());
    json.Member("timeRemote", file.m_timeRemote.GetTime());
    json.Member("localSize", file.m_dwLocalSize);
    json.Member("remoteSize", file.m_dwRemoteSize);
    json.Member("status", GetFileStatusText(file));
    json.EndObject();
}

// A file the next upload would consider sending: never sent, or changed
// locally since it was.
bool WouldConsiderSending(const FileEntry& file)
{
    const FileStatus status = GetFileStatus(file);
    return status == FileStatus::newFile || status == FileStatus::updatedFile;
}

// One line per file to send: "INDEX  STATUS  PATH -> WEB FOLDER".
std::string ShowStatusText(const CTessarineDoc& doc)
{
    std::string out;
    for (std::size_t i = 0; i < doc.m_files.size(); ++i) {
        const FileEntry& file = doc.m_files[i];
        if (!WouldConsiderSending(file))
            continue;
        out += std::to_string(i) + "  " + GetFileStatusText(file) + "  " +
               EscapeControls(file.m_strFileName, LineBreaks::escape) + " -> " +
               (file.m_strWebFolder.empty() ? "<base>" : EscapeControls(file.m_strWebFolder, LineBreaks::escape)) +
               "\n";
    }
    return out;
}

std::string ShowJson(const CTessarineDoc& doc, std::optional<DWORD> version, bool showPasswords, bool onlyToSend)
{
    JsonWriter json;
    json.BeginObject();
    json.Key("formatVersion");
    version ? json.Number(*version) : json.Null();
    json.Member("lastWebFolder", doc.m_strLastWebFolder);
    json.Member("lastFilterIndex", doc.m_nLastFilterIndex);
    json.Member("lastBrowseFolder", doc.m_strLastBrowseFolder);
    json.Key("servers");
    json.BeginArray();
    for (std::size_t i = 0; i < doc.m_servers.size(); ++i)
        WriteServerJson(json, i, doc.m_servers[i], showPasswords);
    json.EndArray();
    json.Key("files");
    json.BeginArray();
    for (std::size_t i = 0; i < doc.m_files.size(); ++i)
        if (!onlyToSend || WouldConsiderSending(doc.m_files[i]))
            WriteFileJson(json, i, doc.m_files[i]);
    json.EndArray();
    json.EndObject();
    return json.Text();
}

std::string Shown(const std::string& text, const char* whenEmpty)
{
    return text.empty() ? whenEmpty : PrintableText(text);
}

std::string TimeText(CTime time)
{
    if (time.GetTime() == 0)
        return "never";
    const std::time_t seconds = time.GetTime();
    std::tm utc {};
    char text[40];
    if (!::gmtime_r(&seconds, &utc) || !std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &utc))
        return std::to_string(time.GetTime());
    return text;
}

std::string ShowServersText(const CTessarineDoc& doc)
{
    std::string out = "Servers: " + std::to_string(doc.m_servers.size()) + "\n";
    for (std::size_t i = 0; i < doc.m_servers.size(); ++i) {
        const ServerEntry& server = doc.m_servers[i];
        out += "  " + std::to_string(i) + "  " + Shown(server.m_strServerName, "") + "\n";
        out += "     user name:   " + Shown(server.m_strUserName, "") + "\n";
        out += "     base folder: " + Shown(server.m_strBaseFolder, "<root>") + "\n";
    }
    return out;
}

std::string ShowFilesText(const CTessarineDoc& doc)
{
    std::string out = "Files: " + std::to_string(doc.m_files.size()) + "\n";
    for (std::size_t i = 0; i < doc.m_files.size(); ++i) {
        const FileEntry& file = doc.m_files[i];
        char flags[8];
        std::snprintf(flags, sizeof flags, "0x%04X", file.m_wFlags);
        out += "  " + std::to_string(i) + "  " + Shown(file.m_strFileName, "") + "\n";
        out += "     web folder:  " + Shown(file.m_strWebFolder, "<base>") + "\n";
        out += std::string("     type:        ") + TypeText(file) + " (flags " + flags + ")\n";
        out += std::string("     status:      ") + GetFileStatusText(file) + "\n";
        out += "     local:       " + TimeText(file.m_timeLocal) + ", " + std::to_string(file.m_dwLocalSize) + " bytes\n";
        out += "     remote:      " + TimeText(file.m_timeRemote) + ", " + std::to_string(file.m_dwRemoteSize) + " bytes\n";
    }
    return out;
}

std::string ShowText(const CTessarineDoc& doc, const std::string& path, std::optional<DWORD> version)
{
    std::string out = PrintableText(path);
    out += version ? " (format version " + std::to_string(*version) + ")\n" : " (empty file)\n";
    out += "Last web folder:    " + Shown(doc.m_strLastWebFolder, "") + "\n";
    out += "Last filter index:  " + std::to_string(doc.m_nLastFilterIndex) + "\n";
    out += "Last browse folder: " + Shown(doc.m_strLastBrowseFolder, "") + "\n\n";
    return out + ShowServersText(doc) + "\n" + ShowFilesText(doc);
}

}  // namespace

int RunShow(const Args& args)
{
    const ParsedOptions parsed = ParseFlags(args, {{"json", false}, {"show-passwords", false}, {"status", false}}, 1);
    if (!parsed.error.empty())
        return UsageError("show", parsed.error);
    if (parsed.Has("show-passwords") && !parsed.Has("json"))
        return UsageError("show", "--show-passwords needs --json");
    const std::string& path = parsed.positional[0];
    CTessarineDoc doc;
    if (int status = LoadConfiguration(doc, path); status != kExitOk)
        return status;
    const std::optional<DWORD> version = StoredFormatVersion(path);
    const bool status = parsed.Has("status");
    const std::string out = parsed.Has("json") ? ShowJson(doc, version, parsed.Has("show-passwords"), status)
                            : status          ? ShowStatusText(doc)
                                              : ShowText(doc, path, version);
    std::fwrite(out.data(), 1, out.size(), stdout);
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return kExitOk;
    std::fprintf(stderr, "tessarine: the listing could not be written to standard output.\n");
    return kExitSaveFailed;
}

}  // namespace cli
