#pragma once

#include "platform/Prompts.h"

class QTextStream;

// Prompts for runs nobody watches (cron, scripts): every box becomes one line on a stream,
// usually standard error, and every question takes the answer that changes nothing: No,
// Cancel or Abort.
class UnattendedPrompts : public Prompts
{
public:
    explicit UnattendedPrompts(QTextStream& stream);

    PromptAnswer ask(const Prompt& prompt) override;

    static PromptAnswer safeAnswer(PromptButtons buttons);

private:
    QTextStream& m_stream;
};
