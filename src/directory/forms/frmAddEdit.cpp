#include "directory/forms/frmAddEdit.h"

#include "directory/AddressValidation.h"
#include "directory/forms/PasswordDialogParts.h"
#include "directory/TimeZones.h"
#include "platform/CodePage.h"
#include "platform/forms/WidgetNames.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

const QString kSampleIp = QStringLiteral("10.20.30.40");
const QString kSamplePhone = QStringLiteral("1-800-123-5678");

bool isPasswordDigit(QChar c)
{
    return c >= u'1' && c <= u'9';
}

} // namespace

frmAddEdit::frmAddEdit(const UnitAddressList& units, QWidget* parent)
    : QDialog(parent), m_units(units)
{
    setObjectName(QStringLiteral("frmAddEdit"));
    setModal(true);

    optEthernet = named(new QRadioButton(QStringLiteral("&Ethernet"), this), "optEthernet");
    optPOTS = named(new QRadioButton(QStringLiteral("&POTS"), this), "optPOTS");
    optEthernet->setChecked(true);
    lblAddress = named(new QLabel(QStringLiteral("IP Address:"), this), "lblAddress");
    txtAddress = named(new QLineEdit(kSampleIp, this), "txtAddress");
    txtDescript = named(new QLineEdit(this), "txtDescript");
    txtPassword = makePasswordField("txtPassword", this);
    txtPassword->setMaxLength(4);
    // Keys are filtered below; this also keeps pasted or dropped text out.
    txtPassword->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[1-9]*")), this));
    txtPassword->installEventFilter(this);
    cboTimeZone = named(new QComboBox(this), "cboTimeZone");
    cboTimeZone->addItems(TimeZoneList());
    cboDST = named(new QComboBox(this), "cboDST");
    for (int code = 0; code <= 3; ++code)
        cboDST->addItem(DstNameFromCode(code));
    chkStatus =
        named(new QCheckBox(QStringLiteral("Status Message Retrieval:"), this), "chkStatus");
    chkSyn = named(new QCheckBox(QStringLiteral("Unit Time Synchronization:"), this), "chkSyn");
    cmdOK = named(new QPushButton(QStringLiteral("&OK"), this), "cmdOK");
    cmdCancel = named(new QPushButton(QStringLiteral("&Cancel"), this), "cmdCancel");
    cmdOK->setDefault(true);

    auto* linkRow = new QHBoxLayout;
    linkRow->addWidget(optEthernet);
    linkRow->addWidget(optPOTS);
    linkRow->addStretch();
    auto* form = new QFormLayout;
    form->addRow(linkRow);
    form->addRow(lblAddress, txtAddress);
    form->addRow(QStringLiteral("Description:"), txtDescript);
    form->addRow(QStringLiteral("Password:"), txtPassword);
    form->addRow(QStringLiteral("Time Zone:"), cboTimeZone);
    form->addRow(QStringLiteral("DST:"), cboDST);
    form->addRow(chkStatus);
    form->addRow(chkSyn);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addLayout(buttons);
    // Room for a long description; the caption is taken care of for every window.
    txtDescript->setMinimumWidth(txtDescript->fontMetrics().averageCharWidth() * 36);
    QWidget* order[] = {optEthernet, optPOTS,   txtAddress, txtDescript, txtPassword, cboTimeZone,
                        cboDST,      chkStatus, chkSyn,     cmdOK,       cmdCancel};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(optPOTS, &QRadioButton::toggled, this, &frmAddEdit::linkTypeChosen);
    connect(txtPassword, &QLineEdit::textEdited, this, [this] { m_passwordTouched = true; });
    connect(cmdOK, &QPushButton::clicked, this, &frmAddEdit::ok);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmAddEdit::prepareAdd(const QString& presetZone, const QString& presetDst,
                            const QString& description)
{
    m_editIndex = -1;
    setWindowTitle(QStringLiteral("Add New Unit Address"));
    optEthernet->setChecked(true);
    txtAddress->setText(kSampleIp);
    txtDescript->setText(description);
    txtPassword->clear();
    m_storedPassword.clear();
    chkStatus->setChecked(true);
    chkSyn->setChecked(true);
    selectPresets(presetZone, presetDst);
    focusAddress();
}

void frmAddEdit::prepareEdit(int index, const UnitRecord& record)
{
    m_editIndex = index;
    setWindowTitle(QStringLiteral("Edit Unit Address"));
    if (record.DataStr.contains(u'.'))
        optEthernet->setChecked(true);
    else
        optPOTS->setChecked(true);
    txtAddress->setText(record.DataStr);
    txtDescript->setText(record.Descript);
    // A password from an import may not fit the box; it is kept unless the user retypes it.
    txtPassword->setText(record.Password);
    m_storedPassword = record.Password;
    chkStatus->setChecked(record.Status == u"1");
    chkSyn->setChecked(record.Syn == u"1");
    selectPresets(record.TimeZone, record.DST);
    focusAddress();
}

void frmAddEdit::selectPresets(const QString& zone, const QString& dst)
{
    cboTimeZone->setCurrentIndex(qMax(0, cboTimeZone->findText(zone, Qt::MatchExactly)));
    cboDST->setCurrentIndex(qMax(0, cboDST->findText(dst, Qt::MatchExactly)));
}

void frmAddEdit::linkTypeChosen(bool pots)
{
    lblAddress->setText(pots ? QStringLiteral("Phone No:") : QStringLiteral("IP Address:"));
    // Tab reaches the link type through the chosen option, as in any option group; Qt would
    // otherwise keep the first option as the stop until the user focuses another one.
    optPOTS->setFocusPolicy(pots ? Qt::StrongFocus : Qt::ClickFocus);
    optEthernet->setFocusPolicy(pots ? Qt::ClickFocus : Qt::StrongFocus);
    if (!editMode())
        txtAddress->setText(pots ? kSamplePhone : kSampleIp);
}

bool frmAddEdit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == txtPassword && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        // Keys without a character (arrows, Delete), control keys (Backspace, Tab, Enter,
        // Escape, shortcuts) and the digits 1 to 9 go through; the validator guards the rest.
        if (!text.isEmpty() && text.at(0).isPrint() && !isPasswordDigit(text.at(0))) {
            Platform::prompts().message(QStringLiteral("Only numbers 1-9 are allowed here!"));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmAddEdit::focusAddress()
{
    txtAddress->setFocus();
    txtAddress->selectAll();
}

bool frmAddEdit::addressAccepted(const QString& address)
{
    const bool pots = optPOTS->isChecked();
    const qsizetype n = address.size();
    bool valid;
    if (pots)
        valid = !address.isEmpty() && IsValidPhoneNumber(address) && n < 15 && n >= 3;
    else
        valid = !address.isEmpty() && IsValidIpAddress(address) &&
                IsDigitsOrSeparator(address, u'.') && n < 16 && n >= 7;
    if (valid)
        return true;
    // "No" keeps an address the checks do not know, but a unit without any address could never
    // be reached (and would be dialled as an empty phone number).
    if (address.isEmpty()) {
        Platform::prompts().message(
            pots ? QStringLiteral("Please enter the Phone No of the unit!")
                 : QStringLiteral("Please enter the IP Address of the unit!"));
        focusAddress();
        return false;
    }

    const QString text =
        pots ? QStringLiteral("Invalid Phone No format detected!  If you want to fix it, ") +
                   QStringLiteral("please click 'Yes' and input the right Phone No ") +
                   QStringLiteral("\n\n") +
                   QStringLiteral("( e.g. 1-800-234-5678 or 2345678 ) !  Otherwise, click 'No', "
                                  "the application will ignore this error!")
             : QStringLiteral("Invalid IP Address format detected!  If you want to fix it, ") +
                   QStringLiteral("please click 'Yes' and input the right IP Address ") +
                   QStringLiteral("\n\n") +
                   QStringLiteral("( e.g. 10.90.253.38 ) !  Otherwise, click 'No', the "
                                  "application will ignore this error!");
    const PromptAnswer answer = Platform::prompts().ask(
        Prompt{QStringLiteral("Message"), text, PromptButtons::YesNo, PromptIcon::Warning, 0});
    if (answer == PromptAnswer::No)
        return true;
    focusAddress();
    return false;
}

bool frmAddEdit::dstAccepted()
{
    const QString zone = cboTimeZone->currentText();
    const int dstCode = cboDST->currentIndex();
    const int zoneCode = DefaultDstCode(zone);
    if (dstCode == 0 || dstCode == zoneCode)
        return true;

    QString text;
    if (zoneCode == 0) {
        text = QStringLiteral("This program only supports three DST Zone ( USA,EUR and AUS ).\n"
                              "The time zone you selected is out of the range of above three.\n"
                              "Please select 'OFF' Only!");
    } else {
        const QString name = DstNameFromCode(zoneCode);
        text = QStringLiteral("This time zone ( ") + zone + QStringLiteral(" ) belongs to '") +
               name + QStringLiteral("' DST Zone.\nYou can select '") + name +
               QStringLiteral("' or 'OFF'!");
    }
    Platform::prompts().message(text);
    cboDST->setFocus();
    return false;
}

void frmAddEdit::ok()
{
    const QString address = txtAddress->text().trimmed();
    if (!addressAccepted(address))
        return;

    if (txtDescript->text().trimmed().isEmpty()) {
        Platform::prompts().message(QStringLiteral("Please enter the description for the unit!"));
        txtDescript->setFocus();
        return;
    }

    // The list file has no way to carry a double quote inside a field, nor a character outside
    // its code page (it would come back as "?").
    for (QLineEdit* box : {txtAddress, txtDescript}) {
        if (box->text().contains(u'"')) {
            Platform::prompts().message(
                QStringLiteral("The unit address list cannot store double quotes ( \" ). "
                               "Please use another character!"));
            box->setFocus();
            return;
        }
        if (const auto bad = CodePage::firstUnstorable(box->text())) {
            Platform::prompts().message(
                QStringLiteral("The unit address list cannot store the character ( ") + *bad +
                QStringLiteral(" ). Please use another character!"));
            box->setFocus();
            return;
        }
    }

    const QString password = txtPassword->text().trimmed();
    if (!password.isEmpty() && password.size() < 3) {
        Platform::prompts().message(QStringLiteral(
            "Please enter at least 3 digits for the Unit Password or leave it blank!"));
        txtPassword->clear();
        m_passwordTouched = true;
        txtPassword->setFocus();
        return;
    }

    if (!dstAccepted())
        return;

    const bool unique = editMode() ? IsUniqueAddressExcept(m_units, address, m_editIndex)
                                   : IsNewAddress(m_units, address);
    if (!unique) {
        Platform::prompts().message(optPOTS->isChecked()
                                        ? QStringLiteral("Duplicate Phone Number detected!")
                                        : QStringLiteral("Duplicate IP Address detected!"));
        focusAddress();
        return;
    }

    const QString one = QStringLiteral("1");
    const QString zero = QStringLiteral("0");
    m_record = UnitRecord{address,
                          txtDescript->text().trimmed(),
                          editMode() && !m_passwordTouched ? m_storedPassword : txtPassword->text(),
                          cboTimeZone->currentText(),
                          cboDST->currentText(),
                          chkStatus->isChecked() ? one : zero,
                          chkSyn->isChecked() ? one : zero};
    m_accepted = true;
    accept();
}
