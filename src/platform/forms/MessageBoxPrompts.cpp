#include "platform/forms/MessageBoxPrompts.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <utility>
#include <vector>

namespace {

std::vector<std::pair<QMessageBox::StandardButton, PromptAnswer>> buttonsOf(PromptButtons b)
{
    using SB = QMessageBox::StandardButton;
    switch (b) {
    case PromptButtons::Ok:
        return {{SB::Ok, PromptAnswer::Ok}};
    case PromptButtons::OkCancel:
        return {{SB::Ok, PromptAnswer::Ok}, {SB::Cancel, PromptAnswer::Cancel}};
    case PromptButtons::YesNo:
        return {{SB::Yes, PromptAnswer::Yes}, {SB::No, PromptAnswer::No}};
    case PromptButtons::YesNoCancel:
        return {{SB::Yes, PromptAnswer::Yes},
                {SB::No, PromptAnswer::No},
                {SB::Cancel, PromptAnswer::Cancel}};
    case PromptButtons::RetryCancel:
        return {{SB::Retry, PromptAnswer::Retry}, {SB::Cancel, PromptAnswer::Cancel}};
    case PromptButtons::AbortRetryIgnore:
        return {{SB::Abort, PromptAnswer::Abort},
                {SB::Retry, PromptAnswer::Retry},
                {SB::Ignore, PromptAnswer::Ignore}};
    }
    return {{SB::Ok, PromptAnswer::Ok}};
}

QMessageBox::Icon iconOf(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::None:
        return QMessageBox::NoIcon;
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::Warning:
        return QMessageBox::Warning;
    case PromptIcon::Critical:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

} // namespace

MessageBoxPrompts::~MessageBoxPrompts()
{
    delete m_notice.data();
}

void MessageBoxPrompts::notify(const Prompt& prompt)
{
    if (m_notice && m_notice->isVisible())
        return;
    auto* box = new QMessageBox(iconOf(prompt.icon), prompt.title, prompt.text, QMessageBox::Ok,
                                QApplication::activeWindow());
    box->setAttribute(Qt::WA_DeleteOnClose);
    m_notice = box;
    box->open();
}

PromptAnswer MessageBoxPrompts::ask(const Prompt& prompt)
{
    QMessageBox box(iconOf(prompt.icon), prompt.title, prompt.text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    const auto buttons = buttonsOf(prompt.buttons);
    for (size_t i = 0; i < buttons.size(); ++i) {
        QPushButton* button = box.addButton(buttons[i].first);
        if (static_cast<int>(i) == prompt.defaultButton)
            box.setDefaultButton(button);
    }
    // A question without a Cancel button cannot be dismissed: Escape and the close button
    // would otherwise answer "No" for the user. Escape then picks the default answer.
    const bool dismissable = buttons.size() == 1 || prompt.buttons == PromptButtons::OkCancel ||
                             prompt.buttons == PromptButtons::YesNoCancel ||
                             prompt.buttons == PromptButtons::RetryCancel;
    if (!dismissable) {
        box.setWindowFlag(Qt::WindowCloseButtonHint, false);
        box.setEscapeButton(box.defaultButton());
    }
    const auto clicked = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const auto& [standard, answer] : buttons) {
        if (standard == clicked)
            return answer;
    }
    return buttons
        .at(static_cast<size_t>(prompt.defaultButton) < buttons.size()
                ? static_cast<size_t>(prompt.defaultButton)
                : 0)
        .second;
}
