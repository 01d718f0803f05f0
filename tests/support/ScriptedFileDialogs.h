#pragma once

#include "platform/FileDialogs.h"

#include <QList>
#include <QQueue>

// Records every request; answers from a queue, and cancels when the queue is empty.
class ScriptedFileDialogs : public FileDialogs
{
public:
    QList<FileDialogRequest> requests;
    QQueue<std::optional<QString>> answers;

    std::optional<QString> openFile(const FileDialogRequest& request) override
    {
        requests.append(request);
        return answers.isEmpty() ? std::nullopt : answers.dequeue();
    }
    std::optional<QString> saveFile(const FileDialogRequest& request) override
    {
        return openFile(request);
    }
};
