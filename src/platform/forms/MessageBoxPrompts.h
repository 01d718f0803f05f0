#pragma once

#include "platform/Prompts.h"

// Prompts as modal QMessageBoxes over the active window.
class MessageBoxPrompts : public Prompts
{
public:
    PromptAnswer ask(const Prompt& prompt) override;
};
