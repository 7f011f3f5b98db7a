#include "ui/BrowseForLocalFile.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include <algorithm>

namespace {

std::vector<std::string> SplitPatterns(std::string_view list)
{
    std::vector<std::string> patterns;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(';', start), list.size());
        std::string pattern(list.substr(start, end - start));
        if (pattern == "*.*")
            pattern = "*";
        if (!pattern.empty())
            patterns.push_back(pattern);
        start = end + 1;
    }
    return patterns;
}

// Qt reads the patterns of a filter from the parentheses at its end,
// separated by spaces.
QString QtFilterOf(const FileFilter& filter)
{
    QStringList patterns;
    for (const std::string& pattern : filter.patterns)
        patterns << QString::fromStdString(pattern);
    return QString::fromStdString(filter.display) + " (" + patterns.join(' ') + ")";
}

// The save form of Qt's box, refusing a name whose folder does not exist.
class LocalFileBox : public QFileDialog {
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (!files.isEmpty()) {
            const QFileInfo chosen(files.first());
            if (!chosen.isDir() && !QFileInfo(chosen.absolutePath()).isDir()) {
                QMessageBox::warning(this, windowTitle(),
                                     chosen.absolutePath() + "\n\nThe folder does not exist.");
                return;
            }
        }
        QFileDialog::accept();
    }
};

}  // namespace

std::vector<FileFilter> ParseFileFilter(std::string_view filter)
{
    std::vector<FileFilter> filters;
    std::size_t start = 0;
    for (;;) {
        const std::size_t displayEnd = filter.find('\0', start);
        if (displayEnd == std::string_view::npos || displayEnd == start)
            break;
        const std::size_t patternEnd = filter.find('\0', displayEnd + 1);
        if (patternEnd == std::string_view::npos)
            break;
        filters.push_back({std::string(filter.substr(start, displayEnd - start)),
                           SplitPatterns(filter.substr(displayEnd + 1, patternEnd - displayEnd - 1))});
        start = patternEnd + 1;
    }
    return filters;
}

int ClampFilterIndex(int filterIndex, int filterCount)
{
    return std::clamp(filterIndex, 1, std::max(filterCount, 1));
}

bool BrowseForLocalFile(QWidget* parent, std::string& name, std::string_view filter, int& filterIndex,
                        std::string& initialFolder, const std::string& defaultExtension, const std::string& title)
{
    const std::vector<FileFilter> filters = ParseFileFilter(filter);
    LocalFileBox box(parent, QString::fromStdString(title));
    box.setOption(QFileDialog::DontUseNativeDialog);
    box.setOption(QFileDialog::DontConfirmOverwrite);
    box.setAcceptMode(QFileDialog::AcceptSave);
    box.setFileMode(QFileDialog::AnyFile);
    // Extensions match whatever their case, as on the file systems the
    // filters were written for.
    box.setFilter(box.filter() & ~QDir::CaseSensitive);
    box.setDefaultSuffix(QString::fromStdString(defaultExtension));
    box.setDirectory(initialFolder.empty() ? QDir::currentPath() : QString::fromStdString(initialFolder));
    QStringList qtFilters;
    for (const FileFilter& each : filters)
        qtFilters << QtFilterOf(each);
    box.setNameFilters(qtFilters);
    if (!qtFilters.isEmpty())
        box.selectNameFilter(qtFilters.at(ClampFilterIndex(filterIndex, int(qtFilters.size())) - 1));
    // The list shows each filter as designed; Qt applies its own form of it.
    auto* types = box.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    if (types)
        for (int i = 0; i < types->count() && i < int(filters.size()); ++i)
            types->setItemText(i, QString::fromStdString(filters[std::size_t(i)].display));
    if (!name.empty())
        box.selectFile(QString::fromStdString(name));
    if (box.exec() != QDialog::Accepted || box.selectedFiles().isEmpty())
        return false;
    const std::string chosen = box.selectedFiles().first().toStdString();
    name = chosen;
    // Qt names the selected filter by the text its list shows, which is no
    // longer its own form: the list's position says which one it is.
    const qsizetype selected = types ? types->currentIndex() : qtFilters.indexOf(box.selectedNameFilter());
    if (selected >= 0 && selected < qtFilters.size())
        filterIndex = int(selected) + 1;
    initialFolder = chosen.substr(0, chosen.rfind('/') + 1);
    return true;
}
