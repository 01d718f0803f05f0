#include "comm/forms/frmDialUpProgress.h"

#include "comm/DialUpLink.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmDialUpProgress::frmDialUpProgress(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDialUpProgress"));
    setWindowTitle(QStringLiteral("Dialup Screen"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // A cycle may dial while the operator works elsewhere: do not take the keyboard away.
    setAttribute(Qt::WA_ShowWithoutActivating);

    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setMinimumWidth(280);
    lblStatus->setWordWrap(true);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(cmdCancel, &QPushButton::clicked, this, &frmDialUpProgress::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblStatus);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

frmDialUpProgress* frmDialUpProgress::attach(DialUpLink* link, QWidget* parent)
{
    auto* window = new frmDialUpProgress(parent);
    connect(link, &DialUpLink::progressShown, window, [window](const QString& caption) {
        window->setWindowTitle(caption);
        window->ShowText(QString());
        window->show();
    });
    connect(link, &DialUpLink::progressText, window, &frmDialUpProgress::ShowText);
    connect(link, &DialUpLink::progressClosed, window, &frmDialUpProgress::UnloadMyself);
    connect(window, &frmDialUpProgress::cancelled, link, &DialUpLink::cancelFromProgress);
    return window;
}

void frmDialUpProgress::ShowText(const QString& text)
{
    lblStatus->setText(text);
}

void frmDialUpProgress::UnloadMyself()
{
    m_closing = true;
    close();
    m_closing = false;
}

void frmDialUpProgress::reject()
{
    // Cancel, Escape and the close box all end here.
    if (!m_closing && isVisible())
        Q_EMIT cancelled();
    QDialog::reject();
}
