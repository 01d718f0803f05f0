#pragma once

#include <QString>

enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class PromptIcon { None, Information, Question, Warning, Critical };
enum class PromptAnswer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

struct Prompt
{
    QString title;
    QString text;
    PromptButtons buttons = PromptButtons::Ok;
    PromptIcon icon = PromptIcon::None;
    int defaultButton = 0; // index among the buttons, left to right
};

// Modal message boxes and questions.
class Prompts
{
public:
    virtual ~Prompts() = default;
    virtual PromptAnswer ask(const Prompt& prompt) = 0;

    // A box that does not wait for its answer, for news that must not hold up the work that
    // found it. While one such box is open, the next one is dropped. Where nothing can wait
    // anyway (no window), the same as ask().
    virtual void notify(const Prompt& prompt) { ask(prompt); }

    // The common case: a text with an OK button, titled "Message" unless told otherwise.
    void message(const QString& text, const QString& title = QStringLiteral("Message"),
                 PromptIcon icon = PromptIcon::None)
    {
        ask(Prompt{title, text, PromptButtons::Ok, icon, 0});
    }
};
