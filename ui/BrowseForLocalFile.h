#pragma once
// The file box of the local file dialog's Browse button: Qt's own file dialog
// (not the desktop's, which may not report the chosen filter and cannot run
// without a display) in its save form, so the chosen name need not exist
// yet and no overwrite question is asked; the folder must exist.

#include <QWidget>

#include <string>
#include <string_view>
#include <vector>

// One filter of a filter text: what the box shows and the patterns it
// applies. "*.*" is applied as "*", so that names without an extension show.
struct FileFilter {
    std::string display;
    std::vector<std::string> patterns;
};

// Splits a filter text in the platform's form: pairs of a display text and a
// pattern list ("*.htm;*.html"), each ending in a zero byte, the whole in an
// extra one. An incomplete last pair is dropped.
std::vector<FileFilter> ParseFileFilter(std::string_view filter);

// The one-based filter index the box opens with: 0 (none chosen) and values
// below it give the first filter, values past the last give the last.
int ClampFilterIndex(int filterIndex, int filterCount);

// Runs the box modally over parent with title, opening in initialFolder when
// it is not empty (else in the current folder), with name as the proposed
// name and the filter filterIndex selected. True when the user chose a file:
// name is then its full path, filterIndex the one-based index of the filter
// selected when the box closed, initialFolder the path up to and including
// the last "/". False (nothing changed) when the box was cancelled. The
// extensions of the patterns match without regard to case.
bool BrowseForLocalFile(QWidget* parent, std::string& name, std::string_view filter, int& filterIndex,
                        std::string& initialFolder, const std::string& defaultExtension, const std::string& title);
