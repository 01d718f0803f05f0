#pragma once

#include "platform/Prompts.h"

#include <QPointer>

class QMessageBox;

// Prompts as modal QMessageBoxes over the active window.
class MessageBoxPrompts : public Prompts
{
public:
    ~MessageBoxPrompts() override;
    PromptAnswer ask(const Prompt& prompt) override;
    // Window-modal, opened with open(): the caller goes on at once.
    void notify(const Prompt& prompt) override;

private:
    QPointer<QMessageBox> m_notice;
};
