#include "comm/forms/frmDialUpEntry.h"

#include "platform/Platform.h"
#include "platform/PppDialUp.h"
#include "platform/Prompts.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

namespace {

QStringList serialDevices()
{
    const QDir dev(QStringLiteral("/dev"));
    QStringList devices;
    const QStringList found = dev.entryList({QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*")},
                                            QDir::System, QDir::Name);
    for (const QString& name : found)
        devices << dev.filePath(name);
    for (int i = 0; i < 4; ++i)
        devices << QStringLiteral("/dev/ttyS%1").arg(i);
    return devices;
}

void warn(const QString& text)
{
    Platform::prompts().message(text, QStringLiteral("Message"), PromptIcon::Warning);
}

} // namespace

frmDialUpEntry::frmDialUpEntry(const QString& peersFolder, QWidget* parent)
    : QDialog(parent), m_peersFolder(peersFolder)
{
    setObjectName(QStringLiteral("frmDialUpEntry"));
    setWindowTitle(QStringLiteral("New Dial-Up Entry"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* intro = new QLabel(QStringLiteral("VigilStat reaches units on a telephone line "
                                            "through this entry and your modem."),
                             this);
    intro->setWordWrap(true);
    txtName = new QLineEdit(this);
    txtName->setObjectName(QStringLiteral("txtName"));
    txtName->setMaxLength(64);
    txtName->setMinimumWidth(220);
    txtPhoneNumber = new QLineEdit(this);
    txtPhoneNumber->setObjectName(QStringLiteral("txtPhoneNumber"));
    txtPhoneNumber->setMaxLength(PppDialUp::MaxNumberLength);
    cboModem = new QComboBox(this);
    cboModem->setObjectName(QStringLiteral("cboModem"));
    cboModem->setEditable(true);
    cboModem->addItems(serialDevices());
    cboSpeed = new QComboBox(this);
    cboSpeed->setObjectName(QStringLiteral("cboSpeed"));
    cboSpeed->addItems({QStringLiteral("115200"), QStringLiteral("57600"), QStringLiteral("38400"),
                        QStringLiteral("19200"), QStringLiteral("9600")});
    lblPath = new QLabel(this);
    lblPath->setObjectName(QStringLiteral("lblPath"));
    lblPath->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Name of the computer you are dialing:"), txtName);
    form->addRow(QStringLiteral("&Phone Number:"), txtPhoneNumber);
    form->addRow(QStringLiteral("&Modem:"), cboModem);
    form->addRow(QStringLiteral("&Speed:"), cboSpeed);

    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(lblPath);
    layout->addLayout(buttons);
    setMinimumWidth(460);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    const auto showPath = [this] {
        lblPath->setText(txtName->text().trimmed().isEmpty()
                             ? QStringLiteral("Saved in ") + m_peersFolder
                             : QStringLiteral("Saved as ") + entryPath());
    };
    connect(txtName, &QLineEdit::textChanged, this, showPath);
    connect(cmdOK, &QPushButton::clicked, this, &frmDialUpEntry::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    showPath();
    txtName->setFocus();
}

qint32 frmDialUpEntry::createEntry(const QString& peersFolder)
{
    QPointer<frmDialUpEntry> window = new frmDialUpEntry(peersFolder, QApplication::activeWindow());
    window->exec();
    delete window;
    return 0;
}

QString frmDialUpEntry::entryText(const QString& device, const QString& speed,
                                  const QString& phoneNumber)
{
    const QStringList lines = {
        QStringLiteral("# Dial-up link to Korvo units, written by VigilStat."),
        QStringLiteral("# VigilStat gives the number, user name and password with each call."),
        device,
        speed,
        QStringLiteral("modem"),
        QStringLiteral("crtscts"),
        QStringLiteral("lock"),
        QStringLiteral("noauth"),
        QStringLiteral("noipdefault"),
        QStringLiteral("ipcp-accept-local"),
        QStringLiteral(":1.1.1.1"),
        QStringLiteral("nodefaultroute"),
        QStringLiteral("remotenumber ") + phoneNumber,
    };
    return lines.join(u'\n') + u'\n';
}

QString frmDialUpEntry::entryPath() const
{
    return QDir(m_peersFolder).filePath(txtName->text().trimmed());
}

bool frmDialUpEntry::fieldsValid()
{
    const QString name = txtName->text().trimmed();
    if (!PppDialUp::isValidEntryName(name)) {
        warn(QStringLiteral("Please enter a name made of letters, digits, '-', '_' and '.'."));
        txtName->setFocus();
        return false;
    }
    if (!PppDialUp::findEntryFile(m_peersFolder, name).isEmpty()) {
        warn(QStringLiteral("A dial-up entry named '") + name +
             QStringLiteral("' already exists in ") + m_peersFolder + u'.');
        txtName->setFocus();
        return false;
    }
    if (!PppDialUp::isDiallable(txtPhoneNumber->text().trimmed())) {
        warn(QStringLiteral("Please enter a phone number made of digits, blanks and - + # * , "
                            "( )."));
        txtPhoneNumber->setFocus();
        return false;
    }
    const QString device = cboModem->currentText().trimmed();
    if (!device.startsWith(u"/dev/") || device.contains(u' ')) {
        warn(QStringLiteral("Please choose the modem's device, such as /dev/ttyS0."));
        cboModem->setFocus();
        return false;
    }
    return true;
}

void frmDialUpEntry::cmdOK_Click()
{
    if (!fieldsValid())
        return;
    const QString text = entryText(cboModem->currentText().trimmed(), cboSpeed->currentText(),
                                   txtPhoneNumber->text().trimmed());
    const QString path = entryPath();
    QSaveFile file(path);
    const bool saved = QFileInfo(m_peersFolder).isWritable() && file.open(QIODevice::WriteOnly) &&
                       file.write(text.toLocal8Bit()) >= 0 && file.commit();
    if (saved) {
        accept();
        return;
    }
    if (!QFileInfo(m_peersFolder).isWritable() || file.error() == QFileDevice::PermissionsError) {
        warn(QStringLiteral("Only an administrator may create the dial-up entry in ") +
             m_peersFolder +
             QStringLiteral(".\n\nPlease ask your administrator to save these "
                            "lines as ") +
             path + QStringLiteral(", then try again:\n\n") + text);
        reject();
        return;
    }
    warn(QStringLiteral("The dial-up entry could not be saved as ") + path + QStringLiteral(":\n") +
         file.errorString());
}
