#include "core/forms/frmAbout.h"

#include "platform/Launcher.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

frmAbout::frmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About VigilStat"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* icon = new QLabel(this);
    icon->setPixmap(windowIcon().pixmap(48, 48));
    auto* title = new QLabel(QStringLiteral("VigilStat"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    title->setFont(big);
    auto* version =
        new QLabel(QStringLiteral("Version ") + QStringLiteral(VIGILSTAT_VERSION), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto* description = new QLabel(
        QStringLiteral("Status monitoring and clock synchronization for Korvo units."), this);
    description->setWordWrap(true);

    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    if (!Platform::launcher().systemInfoViewer().isEmpty()) {
        cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
        cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
        connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
        buttons->addWidget(cmdSysInfo);
    }
    buttons->addStretch();

    auto* text = new QVBoxLayout;
    text->addWidget(title);
    text->addWidget(version);
    text->addSpacing(8);
    text->addWidget(description);
    text->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(icon, 0, Qt::AlignTop);
    layout->addLayout(text, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void frmAbout::cmdSysInfo_Click()
{
    if (!Platform::launcher().startSystemInfoViewer())
        Platform::prompts().message(
            QStringLiteral("System Information Is Unavailable At This Time"),
            QStringLiteral("Message"), PromptIcon::Information);
}
