#pragma once
// The site configuration: the document of the program. It owns both arrays
// and every entry in them, by value, in the order of addition; an entry is
// identified by its index, valid until the array next changes. Nothing
// outside keeps a pointer or reference to an entry across a change.
//
// Every successful change sets the modified flag and calls
// UpdateAllViews(nullptr, 0, nullptr). All access is on one thread.

#include "model/ConfigFormat.h"
#include "model/FileEntry.h"
#include "model/ServerEntry.h"
#include "platform/framework/Archive.h"
#include "platform/framework/CmdUI.h"
#include "platform/framework/Document.h"

#include <cstdint>
#include <string>
#include <vector>

class CTessarineDoc : public CDocument {
public:
    CTessarineDoc() = default;
    ~CTessarineDoc() override = default;

    // ---- The configuration ---------------------------------------------
    std::vector<ServerEntry> m_servers;  // upload visits them in this order
    std::vector<FileEntry> m_files;      // ... and these, for each server
    // Remembered by the local file dialog between uses.
    std::string m_strLastWebFolder;      // as typed, before "\" becomes "/"
    std::int32_t m_nLastFilterIndex = 0; // one-based filter index; 0: none chosen
    std::string m_strLastBrowseFolder;   // folder of the file last browsed to

    // ---- Framework overrides (model/TessarineDoc.cpp, model/TessarineDocSerialize.cpp)
    // Stores the configuration (always format CONFIG_VERSION) or loads one of
    // versions 0 to CONFIG_VERSION. Loading a file with another magic or a
    // newer version shows why, refuses the load (ar.RefuseLoad()) and
    // returns normally; data that ends early throws CArchiveException
    // (endOfFile) from the archive. Entry flags are loaded without
    // ENTRY_MARKED.
    void Serialize(CArchive& ar) override;
    // Removes every entry and the remembered settings (empty, 0). Leaves the
    // modified flag and the path name alone.
    void DeleteContents() override;
    bool OnNewDocument() override;

    // ---- Commands ------------------------------------------------------
    // Upload is enabled exactly when there is at least one server and one file.
    void OnUpdateUpload(CCmdUI* pCmdUI);

    // ---- Transfer type rule (model/IsAsciiTextFile.cpp) -----------------
    // True when the file at path is to be sent in ASCII mode. Decided by the
    // extension (the part of the name after the last "/", from its last dot)
    // for .htm .html .shtml .txt (true) and .gif .jpg .jpeg .bmp .wav .avi
    // .mov .zip (false), ignoring case; otherwise by the content, with the
    // wait cursor shown: true when no byte is 0 or above 0x7F (an empty file
    // is text). A file that cannot be opened or read, or is not a regular
    // file, is binary (false). Never blocks on a FIFO or device; shows no
    // message.
    static bool IsAsciiTextFile(const std::string& path);

private:
    void StoreConfiguration(CArchive& ar) const;
    void LoadConfiguration(CArchive& ar);
    void LoadServers(CArchive& ar, DWORD version);
    void LoadFiles(CArchive& ar, DWORD version);
};
