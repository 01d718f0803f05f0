#include "core/forms/frmVigilStat.h"
#include "core/Settings.h"
#include "core/SingleInstance.h"
#include "directory/AddressListFile.h"
#include "directory/forms/frmAddEdit.h"
#include "directory/forms/frmAddressSetup.h"
#include "directory/TimeZones.h"
#include "ModalDriver.h"
#include "ScriptedPlatform.h"

#include <functional>
#include <optional>
#include <QAbstractItemModel>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

class TestAddressSetup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void opensWithTheCurrentFile();
    void addAppendsAndSelects();
    void editReplacesInPlace();
    void removeKeepsPosition();
    void emptyListRefusals();
    void copyThenCancelLeavesListAsBefore();
    void copyThenOkAddsChangedUnit();
    void closingDuringCopyPauseDropsCopy();
    void fullListRefusesAddAndCopyOnly();
    void doneSavesAndReadsBackIdentically();
    void doneThatCannotWriteStaysOpen();
    void doneKeepsTheOriginalOfAnIncompleteFile();
    void openReplacesListOnlyOnSuccess();
    void saveAsChangesPathOnlyOnSuccess();
    void mainWindowOpensEditorBehindGate();

private:
    frmAddressSetup& open();
    void click(const char* name)
    {
        QTest::mouseClick(m_window->findChild<QPushButton*>(QString::fromLatin1(name)),
                          Qt::LeftButton);
    }
    void trigger(const char* name)
    {
        m_window->findChild<QAction*>(QString::fromLatin1(name))->trigger();
    }
    QString cell(int row, int column) const
    {
        const QAbstractItemModel* model = m_window->findChild<QTreeView*>()->model();
        return model->index(row, column).data().toString();
    }
    // Acts on the record dialog as soon as it is open, from inside its exec().
    void onRecordDialog(std::function<void(frmAddEdit&)> action);
    void writeList(const QString& path, const UnitAddressList& units);

    std::optional<ScriptedPlatform> m_platform;
    std::optional<Settings> m_settings;
    UnitAddressList m_units;
    frmAddressSetup* m_window = nullptr;
    bool m_dialogSeen = false;
};

namespace {

UnitAddressList threeUnits()
{
    UnitAddressList u;
    u.append({"10.1.1.1", "First", "123", "GMT-05:00", "USA", "1", "1"});
    u.append({"5551234", "Second", "", "GMT", "EUR", "0", "1"});
    u.append({"10.1.1.3", "Third, with comma", "4567", "GMT+10:00", "AUS", "1", "0"});
    return u;
}

void setAddress(frmAddEdit& d, const QString& address)
{
    d.findChild<QLineEdit*>(QStringLiteral("txtAddress"))->setText(address);
}

void clickIn(QWidget& w, const char* name)
{
    QTest::mouseClick(w.findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton);
}

} // namespace

void TestAddressSetup::init()
{
    m_platform.emplace();
    m_platform->clock.biasMinutes = 300;
    TakePcTimeZone();
    m_settings.emplace();
    m_settings->LoadSettings();
    m_units.clear();
    m_dialogSeen = false;
    writeList(m_platform->programFolder.file(QStringLiteral("IPAddressList.ipl")), threeUnits());
    m_platform->prompts.clear();
}

void TestAddressSetup::cleanup()
{
    delete m_window;
    m_window = nullptr;
    m_settings.reset();
    m_platform.reset();
}

frmAddressSetup& TestAddressSetup::open()
{
    m_window = new frmAddressSetup(m_units, *m_settings);
    m_window->show();
    return *m_window;
}

void TestAddressSetup::writeList(const QString& path, const UnitAddressList& units)
{
    QVERIFY(SaveAddressList(path, units));
}

void TestAddressSetup::onRecordDialog(std::function<void(frmAddEdit&)> action)
{
    auto* poll = new QTimer(this);
    poll->setInterval(10);
    connect(poll, &QTimer::timeout, this, [this, poll, action] {
        auto* dialog = qobject_cast<frmAddEdit*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll->stop();
        poll->deleteLater();
        m_dialogSeen = true;
        action(*dialog);
    });
    poll->start();
}

void TestAddressSetup::opensWithTheCurrentFile()
{
    open();
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Unit Address List Setup"));
    QCOMPARE(m_units, threeUnits());
    const QAbstractItemModel* model = m_window->findChild<QTreeView*>()->model();
    QStringList captions;
    for (int c = 0; c < model->columnCount(); ++c)
        captions << model->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(captions, (QStringList{"IP/Phone No.", "Description", "Time Zone", "DST", "Status",
                                    "Time Syn."}));
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(cell(2, 1), QStringLiteral("Third, with comma"));
    QCOMPARE(cell(2, 5), QStringLiteral("0"));
    QCOMPARE(m_window->currentRow(), 0);
    QVERIFY(!m_window->findChild<QPushButton*>(QStringLiteral("cmdImport"))->isEnabled());
    QVERIFY(m_platform->prompts.shown.isEmpty());
}

void TestAddressSetup::addAppendsAndSelects()
{
    open();
    onRecordDialog([](frmAddEdit& d) {
        QCOMPARE(d.windowTitle(), QStringLiteral("Add New Unit Address"));
        QCOMPARE(d.findChild<QLineEdit*>(QStringLiteral("txtDescript"))->text(),
                 QStringLiteral("Address 4"));
        setAddress(d, QStringLiteral("10.1.1.4"));
        clickIn(d, "cmdOK");
    });
    click("cmdAdd");
    QVERIFY(m_dialogSeen);
    QCOMPARE(m_units.count(), 4);
    QCOMPARE(m_units.record(3),
             (UnitRecord{"10.1.1.4", "Address 4", "", "GMT-05:00", "USA", "1", "1"}));
    QCOMPARE(cell(3, 0), QStringLiteral("10.1.1.4"));
    QCOMPARE(m_window->currentRow(), 3);
}

void TestAddressSetup::editReplacesInPlace()
{
    open();
    m_window->setCurrentRow(1);
    onRecordDialog([](frmAddEdit& d) {
        QCOMPARE(d.windowTitle(), QStringLiteral("Edit Unit Address"));
        d.findChild<QLineEdit*>(QStringLiteral("txtDescript"))->setText(QStringLiteral("Renamed"));
        clickIn(d, "cmdOK");
    });
    click("cmdEdit");
    QVERIFY(m_dialogSeen);
    QCOMPARE(m_units.Descript, (QStringList{"First", "Renamed", "Third, with comma"}));
    QCOMPARE(cell(1, 1), QStringLiteral("Renamed"));
    QCOMPARE(m_window->currentRow(), 1);
}

void TestAddressSetup::removeKeepsPosition()
{
    open();
    m_window->setCurrentRow(1);
    click("cmdRemove");
    QCOMPARE(m_units.DataStr, (QStringList{"10.1.1.1", "10.1.1.3"}));
    QCOMPARE(m_window->currentRow(), 1);
    click("cmdRemove");
    QCOMPARE(m_units.DataStr, QStringList{"10.1.1.1"});
    QCOMPARE(m_window->currentRow(), 0);
    QCOMPARE(m_window->findChild<QTreeView*>()->model()->rowCount(), 1);
    QVERIFY(m_platform->prompts.shown.isEmpty());
}

void TestAddressSetup::emptyListRefusals()
{
    QFile::remove(m_platform->programFolder.file(QStringLiteral("IPAddressList.ipl")));
    writeList(m_platform->programFolder.file(QStringLiteral("IPAddressList.ipl")), {});
    open();
    click("cmdRemove");
    click("cmdEdit");
    click("cmdCopy");
    QCOMPARE(m_platform->prompts.texts(),
             QStringList(2, QStringLiteral("Please add an address to the list first...")));
    QCOMPARE(m_units.count(), 0);
}

void TestAddressSetup::copyThenCancelLeavesListAsBefore()
{
    open();
    m_window->setCurrentRow(1);
    onRecordDialog([this](frmAddEdit& d) {
        QCOMPARE(m_units.count(), 4);
        QCOMPARE(m_platform->prompts.texts(),
                 QStringList{QStringLiteral("You must change this Phone Number!")});
        clickIn(d, "cmdCancel");
    });
    click("cmdCopy");
    QCOMPARE(m_units.count(), 4);
    QVERIFY(!m_window->findChild<QPushButton*>(QStringLiteral("cmdDone"))->isEnabled());
    QVERIFY(!m_dialogSeen);
    QTRY_VERIFY_WITH_TIMEOUT(m_dialogSeen, 5000);
    QTRY_COMPARE(m_units, threeUnits());
    QVERIFY(m_window->findChild<QPushButton*>(QStringLiteral("cmdDone"))->isEnabled());
    QCOMPARE(m_window->findChild<QTreeView*>()->model()->rowCount(), 3);
}

void TestAddressSetup::copyThenOkAddsChangedUnit()
{
    open();
    onRecordDialog([this](frmAddEdit& d) {
        QCOMPARE(m_platform->prompts.texts(),
                 QStringList{QStringLiteral("You must change this IP Address!")});
        clickIn(d, "cmdOK"); // unchanged: a duplicate, the dialog stays
        QCOMPARE(m_platform->prompts.texts().last(),
                 QStringLiteral("Duplicate IP Address detected!"));
        setAddress(d, QStringLiteral("10.1.1.9"));
        clickIn(d, "cmdOK");
    });
    click("cmdCopy");
    QTRY_VERIFY_WITH_TIMEOUT(m_dialogSeen, 5000);
    QTRY_COMPARE(m_units.count(), 4);
    UnitRecord expected = threeUnits().record(0);
    expected.DataStr = QStringLiteral("10.1.1.9");
    QCOMPARE(m_units.record(3), expected); // the password came along
    QCOMPARE(m_window->currentRow(), 3);
}

void TestAddressSetup::closingDuringCopyPauseDropsCopy()
{
    open();
    click("cmdCopy");
    QCOMPARE(m_units.count(), 4);
    m_window->reject();
    QCOMPARE(m_units, threeUnits());
    QTest::qWait(1200);
    QVERIFY(m_platform->prompts.shown.isEmpty());
}

void TestAddressSetup::fullListRefusesAddAndCopyOnly()
{
    UnitAddressList full;
    for (int i = 0; i < UnitAddressList::kMaxUnits; ++i)
        full.append({QStringLiteral("10.0.%1.%2").arg(i / 256).arg(i % 256), "u", "", "GMT", "EUR",
                     "1", "1"});
    writeList(m_platform->programFolder.file(QStringLiteral("IPAddressList.ipl")), full);
    open();
    QCOMPARE(m_units.count(), 3000);
    click("cmdAdd");
    click("cmdCopy");
    QCOMPARE(m_platform->prompts.texts(),
             QStringList(2, QStringLiteral("A maximum of 3000 Addresses are allowed...")));
    QCOMPARE(m_units.count(), 3000);

    m_window->setCurrentRow(5);
    onRecordDialog([](frmAddEdit& d) {
        setAddress(d, QStringLiteral("10.99.0.5"));
        clickIn(d, "cmdOK");
    });
    click("cmdEdit");
    QVERIFY(m_dialogSeen);
    QCOMPARE(m_units.DataStr.at(5), QStringLiteral("10.99.0.5"));
    click("cmdRemove");
    QCOMPARE(m_units.count(), 2999);
}

void TestAddressSetup::doneSavesAndReadsBackIdentically()
{
    open();
    m_window->setCurrentRow(0);
    click("cmdRemove");
    trigger("mnuDone");
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_window->result(), int(QDialog::Accepted));

    UnitAddressList back;
    QCOMPARE(LoadAddressList(m_window->listPath(), back), AddressListLoad::Loaded);
    QCOMPARE(back, m_units);
    QCOMPARE(back.count(), 2);
}

void TestAddressSetup::doneThatCannotWriteStaysOpen()
{
    open();
    const QString blocked = m_platform->programFolder.file(QStringLiteral("gone/units.ipl"));
    m_settings->setIPFileName(blocked);
    click("cmdRemove");
    click("cmdDone");
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_platform->prompts.texts(), QStringList{QStringLiteral("Cannot save ") + blocked});
    QCOMPARE(m_units.count(), 2);
}

void TestAddressSetup::doneKeepsTheOriginalOfAnIncompleteFile()
{
    const QString path = m_platform->programFolder.file(QStringLiteral("IPAddressList.ipl"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.resize(file.size() - 20)); // the last record is cut short
    file.close();
    QFile::copy(path, path + QStringLiteral(".orig"));

    open();
    QCOMPARE(m_units.count(), 2);
    m_platform->prompts.clear();
    click("cmdDone");
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_platform->prompts.texts(),
             QStringList{QStringLiteral("The unit address list file could not be read "
                                        "completely. Its original is kept as ") +
                         path + QStringLiteral(".bak")});
    QFile kept(path + QStringLiteral(".bak"));
    QFile orig(path + QStringLiteral(".orig"));
    QVERIFY(kept.open(QIODevice::ReadOnly) && orig.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), orig.readAll());
    UnitAddressList back;
    QCOMPARE(LoadAddressList(path, back), AddressListLoad::Loaded);
    QCOMPARE(back.count(), 2);
}

void TestAddressSetup::openReplacesListOnlyOnSuccess()
{
    open();
    const QString other = m_platform->programFolder.file(QStringLiteral("other.ipl"));
    UnitAddressList two;
    two.append({"10.2.2.1", "A", "", "GMT", "EUR", "1", "1"});
    two.append({"10.2.2.2", "B", "999", "GMT", "EUR", "1", "1"});
    writeList(other, two);
    const QString broken = m_platform->programFolder.file(QStringLiteral("broken.ipl"));
    {
        QFile f(broken);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("\"IPADDRESSLIST\"\r\n9\r\n\"10.3.3.3\",\"only one\"\r\n");
    }

    m_platform->fileDialogs.answers.enqueue(std::nullopt);
    m_platform->fileDialogs.answers.enqueue(broken);
    m_platform->fileDialogs.answers.enqueue(other);
    trigger("mnuOpen");
    const FileDialogRequest& r = m_platform->fileDialogs.requests.at(0).request;
    QCOMPARE(r.title, QStringLiteral("Open IP Adress List File"));
    QCOMPARE(r.filter, QStringLiteral("IP Address List (*.ipl)|*.ipl"));
    QCOMPARE(r.folder, m_platform->programFolder.path());
    QVERIFY(!m_platform->fileDialogs.requests.at(0).save);
    QCOMPARE(m_units, threeUnits());

    trigger("mnuOpen");
    QCOMPARE(m_platform->prompts.texts(), QStringList{QStringLiteral("Cannot open ") + broken});
    QCOMPARE(m_units, threeUnits());
    QCOMPARE(m_settings->ipFileName(), QStringLiteral("IPAddressList.ipl"));

    trigger("mnuOpen");
    QCOMPARE(m_units, two);
    QCOMPARE(cell(1, 0), QStringLiteral("10.2.2.2"));
    QCOMPARE(m_settings->ipFileName(), other);
    QCOMPARE(m_window->listPath(), other);
}

void TestAddressSetup::saveAsChangesPathOnlyOnSuccess()
{
    open();
    const QString target = m_platform->programFolder.file(QStringLiteral("copy.ipl"));
    m_platform->fileDialogs.answers.enqueue(
        m_platform->programFolder.file(QStringLiteral("nowhere/x.ipl")));
    m_platform->fileDialogs.answers.enqueue(target);
    trigger("mnuSaveAs");
    QCOMPARE(m_settings->ipFileName(), QStringLiteral("IPAddressList.ipl"));
    QCOMPARE(m_platform->fileDialogs.requests.at(0).request.title,
             QStringLiteral("Save IP Adress List File"));
    QVERIFY(m_platform->fileDialogs.requests.at(0).save);

    trigger("mnuSaveAs");
    QCOMPARE(m_settings->ipFileName(), target);
    UnitAddressList back;
    QCOMPARE(LoadAddressList(target, back), AddressListLoad::Loaded);
    QCOMPARE(back, threeUnits());
}

void TestAddressSetup::mainWindowOpensEditorBehindGate()
{
    QTemporaryDir lockDir;
    SingleInstance instance(lockDir.filePath(QStringLiteral("VigilStat.lock")));
    frmVigilStat main;
    QVERIFY(main.Load(instance));
    QAction* entry = main.findChild<QAction*>(QStringLiteral("mnuAddressSetup"));
    QVERIFY(entry->isEnabled());

    QStringList opened;
    ModalDriver::onNext(QStringLiteral("frmEnterPassword"), [&](QWidget* d) {
        opened << d->objectName();
        ModalDriver::type(d, "txtPassword", QStringLiteral("wrong"));
        ModalDriver::click(d, "cmdOK");
    });
    entry->trigger();
    QCOMPARE(opened, QStringList{"frmEnterPassword"});
    QCOMPARE(main.unitLists().count(), 0);

    ModalDriver::onNext(QStringLiteral("frmEnterPassword"), [&](QWidget* d) {
        opened << d->objectName();
        ModalDriver::type(d, "txtPassword", QStringLiteral("admin"));
        ModalDriver::click(d, "cmdOK");
        ModalDriver::onNext(QStringLiteral("frmAddressSetup"), [&](QWidget* setup) {
            opened << setup->objectName();
            ModalDriver::click(setup, "cmdRemove");
            ModalDriver::click(setup, "cmdDone");
        });
    });
    entry->trigger();
    QCOMPARE(opened, (QStringList{"frmEnterPassword", "frmEnterPassword", "frmAddressSetup"}));
    QCOMPARE(main.unitLists().count(), 2);
    UnitAddressList saved;
    QCOMPARE(
        LoadAddressList(m_platform->programFolder.file(QStringLiteral("IPAddressList.ipl")), saved),
        AddressListLoad::Loaded);
    QCOMPARE(saved, main.unitLists());
}

QTEST_MAIN(TestAddressSetup)
#include "tst_addresssetup.moc"
