#include "platform/UnattendedPrompts.h"

#include <QCoreApplication>
#include <QTextStream>

UnattendedPrompts::UnattendedPrompts(QTextStream& stream) : m_stream(stream) {}

PromptAnswer UnattendedPrompts::safeAnswer(PromptButtons buttons)
{
    switch (buttons) {
    case PromptButtons::Ok:
        return PromptAnswer::Ok;
    case PromptButtons::YesNo:
        return PromptAnswer::No;
    case PromptButtons::AbortRetryIgnore:
        return PromptAnswer::Abort;
    case PromptButtons::OkCancel:
    case PromptButtons::YesNoCancel:
    case PromptButtons::RetryCancel:
        break;
    }
    return PromptAnswer::Cancel;
}

PromptAnswer UnattendedPrompts::ask(const Prompt& prompt)
{
    static const char* const answerNames[] = {"OK",    "Cancel", "Yes",   "No",
                                              "Retry", "Abort",  "Ignore"};
    const PromptAnswer answer = safeAnswer(prompt.buttons);
    // One line per box, so that a log keeps one message per line.
    QString text = prompt.text.simplified();
    if (prompt.buttons != PromptButtons::Ok)
        text += QStringLiteral(" [") + QLatin1String(answerNames[static_cast<int>(answer)]) +
                QLatin1Char(']');
    m_stream << QCoreApplication::applicationName() << ": " << text << Qt::endl;
    return answer;
}
