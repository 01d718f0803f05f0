#pragma once

#include "platform/FileDialogs.h"

#include <QList>
#include <QQueue>

// Records every request; answers from a queue, and cancels when the queue is empty.
class ScriptedFileDialogs : public FileDialogs
{
public:
    struct Request
    {
        bool save = false;
        FileDialogRequest request;
    };

    QList<Request> requests;
    QQueue<std::optional<QString>> answers;

    std::optional<QString> openFile(const FileDialogRequest& request) override;
    std::optional<QString> saveFile(const FileDialogRequest& request) override;

private:
    std::optional<QString> answer();
};
