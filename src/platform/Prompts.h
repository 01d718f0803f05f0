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

    // The common case: a text with an OK button, titled "Message" unless told otherwise.
    void message(const QString& text, const QString& title = QStringLiteral("Message"),
                 PromptIcon icon = PromptIcon::None)
    {
        ask(Prompt{title, text, PromptButtons::Ok, icon, 0});
    }
};
