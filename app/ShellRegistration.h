#pragma once
// The document type's rows under HKEY_CLASSES_ROOT: the type key with its
// description, icon and open, print and print-to commands, and the extension
// key naming the type (with its ShellNew entry).

#include <string>

struct DocumentTypeInfo {
    std::string fileTypeId;    // "Tessarine.Document"
    std::string description;   // "Tessup Configuration"
    std::string extension;     // ".tsn"
    std::string programPath;   // the program's canonical path
    int iconIndex = 0;         // the icon inside the program file
};

// The quoted program path for a command row; a path with blanks stays whole.
std::string QuotedProgramPath(const std::string& programPath);

// Writes the rows. The extension is set only when it names no type yet, an
// empty one, or this one; a foreign association is left alone with its
// ShellNew entry. A row that cannot be written skips the rest. Silent.
void RegisterShellFileTypes(const DocumentTypeInfo& info);

// Removes the type key and, when it names this type, the extension key.
// False when something could not be removed (a missing row is no failure).
bool UnregisterShellFileTypes(const DocumentTypeInfo& info);
