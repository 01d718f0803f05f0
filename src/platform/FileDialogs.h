#pragma once

#include <optional>
#include <QString>

struct FileDialogRequest
{
    QString title;
    // Pairs of a description and its patterns, all joined by "|": "Text (*.txt)|*.txt|All|*.*";
    // several patterns of one entry are joined by ";".
    QString filter;
    // Where the dialog starts.
    QString folder;
    // Added to a typed name that has no suffix (save dialogs only), without the dot.
    QString defaultSuffix;
    // The name a save dialog proposes. (The initializer keeps shorter brace lists valid.)
    QString fileName = {};
};

// Modal file choosers. Each answers with the chosen absolute path, or nothing when cancelled.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;

    // An existing file.
    virtual std::optional<QString> openFile(const FileDialogRequest& request) = 0;
    // A name in an existing folder; the user has agreed to replace an existing file.
    virtual std::optional<QString> saveFile(const FileDialogRequest& request) = 0;
};
