#pragma once
// The framework's open and save steps for a document, shared by the window,
// the command-line tool and every command that loads, changes and saves a
// configuration. Whatever goes wrong is told through AfxMessageBox (once) and
// the document is left in the state below.

#include "platform/framework/Document.h"

#include <string>
#include <string_view>

enum class OpenOutcome {
    opened,         // loaded; not modified, path and title are the file's
    notOpened,      // the file could not be read (file-error message shown);
                    // the document is exactly as it was before
    loadFailed,     // the contents could not be loaded (message shown); the
                    // document is new, empty, untitled and not modified
};

// Opens path into doc: reads the regular file (without blocking or locking),
// then loads it as LoadDocumentFromBytes does and, on success, takes path as
// the document's path name.
OpenOutcome OpenDocumentFile(CDocument& doc, const std::string& path);

// Loads bytes into doc: DeleteContents, modified flag set, Serialize in
// loading mode unless bytes is empty (an empty file is an empty document).
// True when loaded (not modified afterwards; the path is not touched).
// False after "Unexpected file format." (data ended early), "Failed to open
// document." (any other failure), or a load the document refused after its
// own message; doc is then new (OnNewDocument).
bool LoadDocumentFromBytes(CDocument& doc, std::string_view bytes);

// Saves doc to path: Serialize in storing mode, then the bytes are saved as
// SaveFileBytes saves them (atomically where it can, keeping an existing
// file's owner, mode and links; a new file readable by its owner only). On success the
// modified flag is cleared and doc takes path. On failure ("Failed to save
// document." or the file-error message naming path) doc keeps its contents
// and modified flag, and an existing file at path is left whole unless it was being written
// in place.
bool SaveDocumentFile(CDocument& doc, const std::string& path);
