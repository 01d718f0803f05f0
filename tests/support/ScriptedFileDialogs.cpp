#include "ScriptedFileDialogs.h"

std::optional<QString> ScriptedFileDialogs::openFile(const FileDialogRequest& request)
{
    requests.append({false, request});
    return answer();
}

std::optional<QString> ScriptedFileDialogs::saveFile(const FileDialogRequest& request)
{
    requests.append({true, request});
    return answer();
}

std::optional<QString> ScriptedFileDialogs::answer()
{
    if (answers.isEmpty())
        return std::nullopt;
    return answers.dequeue();
}
