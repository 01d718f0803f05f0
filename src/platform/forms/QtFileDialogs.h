#pragma once

#include "platform/FileDialogs.h"

// File choosers as modal QFileDialogs over the active window.
class QtFileDialogs : public FileDialogs
{
public:
    std::optional<QString> openFile(const FileDialogRequest& request) override;
    std::optional<QString> saveFile(const FileDialogRequest& request) override;

    // "Text (*.txt)|*.txt" as QFileDialog's name filters.
    static QStringList nameFilters(const QString& filter);
};
