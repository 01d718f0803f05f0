#include "platform/forms/QtFileDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QScreen>
#include <QTreeView>

namespace {

// Opens with room for the side bar and every column of the detail view, within the screen: the
// names take what the sizes, types and dates leave.
void showColumnsWhole(QFileDialog& dialog)
{
    const QFontMetrics metrics = dialog.fontMetrics();
    QSize size(metrics.averageCharWidth() * 110, metrics.height() * 30);
    if (const QScreen* screen = dialog.screen())
        size = size.boundedTo(screen->availableSize() * 9 / 10);
    dialog.resize(size);
    if (auto* details = dialog.findChild<QTreeView*>()) {
        QHeaderView* header = details->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
    }
}

std::optional<QString> run(const FileDialogRequest& request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.folder);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    const QStringList filters = QtFileDialogs::nameFilters(request.filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (mode == QFileDialog::AcceptSave && !request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    showColumnsWhole(dialog);
    if (mode == QFileDialog::AcceptSave && !request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

std::optional<QString> QtFileDialogs::openFile(const FileDialogRequest& request)
{
    return run(request, QFileDialog::AcceptOpen);
}

std::optional<QString> QtFileDialogs::saveFile(const FileDialogRequest& request)
{
    return run(request, QFileDialog::AcceptSave);
}

QStringList QtFileDialogs::nameFilters(const QString& filter)
{
    QStringList out;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        const QString patterns = parts.at(i + 1).split(u';', Qt::SkipEmptyParts).join(u' ');
        // Qt reads the patterns from the parentheses of the entry; keep a description that
        // already shows them as it is.
        if (description.contains(u'(' + patterns + u')'))
            out.append(description);
        else
            out.append(description + QStringLiteral(" (") + patterns + u')');
    }
    return out;
}
