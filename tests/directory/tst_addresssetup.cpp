#include "core/forms/frmVigilStat.h"
#include "settings/Settings.h"
#include "core/SingleInstance.h"
#include "directory/AddressListFile.h"
#include "directory/forms/frmAddressSetup.h"
#include "directory/TimeZones.h"
#include "ModalDriver.h"
#include "ScriptedPlatform.h"

#include <optional>
#include <QAbstractItemModel>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
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
    void removeKeepsPositionAndDoneSaves();
    void emptyListRefusals();
    void copyThenCancelLeavesListAsBefore();
    void copyThenOkAddsChangedUnit();
    void closingDuringCopyPauseDropsCopy();
    void fullListRefusesAddAndCopyOnly();
    void doneThatCannotWriteStaysOpen();
    void doneKeepsTheOriginalOfAnIncompleteFile_data();
    void doneKeepsTheOriginalOfAnIncompleteFile();
    void openReplacesListOnlyOnSuccess();
    void saveAsChangesPathOnlyOnSuccess();
    void mainWindowOpensEditorBehindGate();

private:
    void open()
    {
        m_window = new frmAddressSetup(m_units, *m_settings);
        m_window->show();
    }
    QPushButton* button(const char* name) const
    {
        return m_window->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
    void trigger(const char* name)
    {
        m_window->findChild<QAction*>(QString::fromLatin1(name))->trigger();
    }
    const QAbstractItemModel* model() const { return m_window->findChild<QTreeView*>()->model(); }
    QString cell(int row, int column) const
    {
        return model()->index(row, column).data().toString();
    }
    QString file(const QString& name) const { return m_platform->programFolder.file(name); }
    QString listFile() const { return file(QStringLiteral("IPAddressList.ipl")); }
    // Runs action on the record dialog from inside its exec(), then notes that it ran.
    void onRecordDialog(std::function<void(QWidget*)> action)
    {
        ModalDriver::onNext(QStringLiteral("frmAddEdit"), [this, action](QWidget* d) {
            m_dialogSeen = true;
            action(d);
        });
    }

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

UnitAddressList loaded(const QString& path)
{
    UnitAddressList list;
    if (LoadAddressList(path, list) != AddressListLoad::Loaded)
        list.append({"not loaded", "", "", "", "", "", ""});
    return list;
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
    QVERIFY(SaveAddressList(listFile(), threeUnits()));
}

void TestAddressSetup::cleanup()
{
    delete m_window;
    m_window = nullptr;
    m_settings.reset();
    m_platform.reset();
}

void TestAddressSetup::opensWithTheCurrentFile()
{
    open();
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Unit Address List Setup"));
    QCOMPARE(m_units, threeUnits());
    QStringList captions;
    for (int c = 0; c < model()->columnCount(); ++c)
        captions << model()->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(captions, (QStringList{"IP/Phone No.", "Description", "Time Zone", "DST", "Status",
                                    "Time Syn."}));
    QCOMPARE(model()->rowCount(), 3);
    QCOMPARE(cell(2, 1), QStringLiteral("Third, with comma"));
    QCOMPARE(cell(2, 5), QStringLiteral("0"));
    QCOMPARE(m_window->currentRow(), 0);
    QVERIFY(m_platform->prompts.shown.isEmpty());
}

void TestAddressSetup::addAppendsAndSelects()
{
    open();
    onRecordDialog([](QWidget* d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Add New Unit Address"));
        QCOMPARE(d->findChild<QLineEdit*>(QStringLiteral("txtDescript"))->text(),
                 QStringLiteral("Address 4"));
        ModalDriver::type(d, "txtAddress", QStringLiteral("10.1.1.4"));
        ModalDriver::click(d, "cmdOK");
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
    onRecordDialog([](QWidget* d) {
        QCOMPARE(d->windowTitle(), QStringLiteral("Edit Unit Address"));
        ModalDriver::type(d, "txtDescript", QStringLiteral("Renamed"));
        ModalDriver::click(d, "cmdOK");
    });
    click("cmdEdit");
    QVERIFY(m_dialogSeen);
    QCOMPARE(m_units.Descript, (QStringList{"First", "Renamed", "Third, with comma"}));
    QCOMPARE(cell(1, 1), QStringLiteral("Renamed"));
    QCOMPARE(m_window->currentRow(), 1);
}

void TestAddressSetup::removeKeepsPositionAndDoneSaves()
{
    open();
    m_window->setCurrentRow(1);
    click("cmdRemove");
    QCOMPARE(m_units.DataStr, (QStringList{"10.1.1.1", "10.1.1.3"}));
    QCOMPARE(m_window->currentRow(), 1);
    click("cmdRemove");
    QCOMPARE(m_units.DataStr, QStringList{"10.1.1.1"});
    QCOMPARE(m_window->currentRow(), 0);
    QCOMPARE(model()->rowCount(), 1);

    trigger("mnuDone");
    QVERIFY(!m_window->isVisible());
    QCOMPARE(m_window->result(), int(QDialog::Accepted));
    QCOMPARE(m_window->listPath(), listFile());
    QCOMPARE(loaded(listFile()), m_units);
    QVERIFY(m_platform->prompts.shown.isEmpty());
}

void TestAddressSetup::emptyListRefusals()
{
    QVERIFY(SaveAddressList(listFile(), {}));
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
    onRecordDialog([this](QWidget* d) {
        QCOMPARE(m_units.count(), 4);
        QCOMPARE(m_platform->prompts.texts(),
                 QStringList{QStringLiteral("You must change this Phone Number!")});
        ModalDriver::click(d, "cmdCancel");
    });
    click("cmdCopy");
    // The copy shows at once; its dialog follows after a pause that locks the list.
    QCOMPARE(m_units.count(), 4);
    QVERIFY(!button("cmdDone")->isEnabled());
    QVERIFY(!m_dialogSeen);
    QTRY_VERIFY_WITH_TIMEOUT(m_dialogSeen, 5000);
    QTRY_COMPARE(m_units, threeUnits());
    QVERIFY(button("cmdDone")->isEnabled());
    QCOMPARE(model()->rowCount(), 3);
}

void TestAddressSetup::copyThenOkAddsChangedUnit()
{
    open();
    onRecordDialog([this](QWidget* d) {
        QCOMPARE(m_platform->prompts.texts(),
                 QStringList{QStringLiteral("You must change this IP Address!")});
        ModalDriver::click(d, "cmdOK"); // unchanged: a duplicate, the dialog stays
        QCOMPARE(m_platform->prompts.texts().last(),
                 QStringLiteral("Duplicate IP Address detected!"));
        ModalDriver::type(d, "txtAddress", QStringLiteral("10.1.1.9"));
        ModalDriver::click(d, "cmdOK");
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
    QTest::qWait(1200); // past the pause: no dialog, no prompt
    QVERIFY(m_platform->prompts.shown.isEmpty());
}

void TestAddressSetup::fullListRefusesAddAndCopyOnly()
{
    UnitAddressList full;
    for (int i = 0; i < UnitAddressList::kMaxUnits; ++i)
        full.append({QStringLiteral("10.0.%1.%2").arg(i / 256).arg(i % 256), "u", "", "GMT", "EUR",
                     "1", "1"});
    QVERIFY(SaveAddressList(listFile(), full));
    open();
    QCOMPARE(m_units.count(), 3000);
    click("cmdAdd");
    click("cmdCopy");
    QCOMPARE(m_platform->prompts.texts(),
             QStringList(2, QStringLiteral("A maximum of 3000 Addresses are allowed...")));
    QCOMPARE(m_units.count(), 3000);

    m_window->setCurrentRow(5);
    onRecordDialog([](QWidget* d) {
        ModalDriver::type(d, "txtAddress", QStringLiteral("10.99.0.5"));
        ModalDriver::click(d, "cmdOK");
    });
    click("cmdEdit");
    QVERIFY(m_dialogSeen);
    QCOMPARE(m_units.DataStr.at(5), QStringLiteral("10.99.0.5"));
    click("cmdRemove");
    QCOMPARE(m_units.count(), 2999);
}

void TestAddressSetup::doneThatCannotWriteStaysOpen()
{
    open();
    const QString blocked = file(QStringLiteral("gone/units.ipl"));
    m_settings->setIPFileName(blocked);
    click("cmdRemove");
    click("cmdDone");
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_platform->prompts.texts(), QStringList{QStringLiteral("Cannot save ") + blocked});
    QCOMPARE(m_units.count(), 2);
}

void TestAddressSetup::doneKeepsTheOriginalOfAnIncompleteFile_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("kept");
    QTest::newRow("done") << "done" << true;
    QTest::newRow("save as over it") << "save as" << true;
    QTest::newRow("another file opened first") << "open" << false;
}

void TestAddressSetup::doneKeepsTheOriginalOfAnIncompleteFile()
{
    QFETCH(QString, how);
    QFETCH(bool, kept);
    const QString path = listFile();
    QFile cut(path);
    QVERIFY(cut.open(QIODevice::ReadWrite));
    QVERIFY(cut.resize(cut.size() - 20)); // the last record is cut short
    cut.seek(0);
    const QByteArray original = cut.readAll();
    cut.close();

    open();
    QCOMPARE(m_units.count(), 2);
    m_platform->prompts.clear();
    if (how == u"save as") {
        m_platform->fileDialogs.answers << path;
        trigger("mnuSaveAs");
    } else {
        if (how == u"open") {
            const QString other = file(QStringLiteral("other.ipl"));
            QVERIFY(SaveAddressList(other, threeUnits()));
            m_platform->fileDialogs.answers << other;
            trigger("mnuOpen");
        }
        click("cmdDone");
        QVERIFY(!m_window->isVisible());
    }
    const QString backup = path + QStringLiteral(".bak");
    QCOMPARE(QFile::exists(backup), kept);
    if (!kept) {
        QVERIFY(m_platform->prompts.shown.isEmpty());
        return;
    }
    QCOMPARE(m_platform->prompts.texts(),
             QStringList{QStringLiteral("The unit address list file could not be read "
                                        "completely. Its original is kept as ") +
                         backup});
    QFile copy(backup);
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), original);
    QCOMPARE(loaded(path).count(), 2);
}

void TestAddressSetup::openReplacesListOnlyOnSuccess()
{
    open();
    const QString other = file(QStringLiteral("other.ipl"));
    UnitAddressList two;
    two.append({"10.2.2.1", "A", "", "GMT", "EUR", "1", "1"});
    two.append({"10.2.2.2", "B", "999", "GMT", "EUR", "1", "1"});
    QVERIFY(SaveAddressList(other, two));
    const QString broken = file(QStringLiteral("broken.ipl"));
    QFile f(broken);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("\"IPADDRESSLIST\"\r\n9\r\n\"10.3.3.3\",\"only one\"\r\n");
    f.close();

    m_platform->fileDialogs.answers << std::nullopt << broken << other;
    trigger("mnuOpen"); // cancelled
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
    const QString target = file(QStringLiteral("copy.ipl"));
    m_platform->fileDialogs.answers << file(QStringLiteral("nowhere/x.ipl")) << target;
    trigger("mnuSaveAs");
    QCOMPARE(m_settings->ipFileName(), QStringLiteral("IPAddressList.ipl"));
    QCOMPARE(m_platform->fileDialogs.requests.at(0).request.title,
             QStringLiteral("Save IP Adress List File"));
    QVERIFY(m_platform->fileDialogs.requests.at(0).save);

    trigger("mnuSaveAs");
    QCOMPARE(m_settings->ipFileName(), target);
    QCOMPARE(loaded(target), threeUnits());
}

void TestAddressSetup::mainWindowOpensEditorBehindGate()
{
    // Refusals at the gate itself are covered in tst_mainwindow.
    QTemporaryDir lockDir;
    SingleInstance instance(lockDir.filePath(QStringLiteral("VigilStat.lock")));
    frmVigilStat main;
    QVERIFY(main.Load(instance));
    QStringList opened;
    ModalDriver::onNext(QStringLiteral("frmEnterPassword"), [&](QWidget* d) {
        opened << d->objectName();
        ModalDriver::type(d, "txtPassword", QStringLiteral("admin"));
        ModalDriver::click(d, "cmdOK");
    });
    ModalDriver::onNext(QStringLiteral("frmAddressSetup"), [&](QWidget* setup) {
        opened << setup->objectName();
        ModalDriver::click(setup, "cmdRemove");
        ModalDriver::click(setup, "cmdDone");
    });
    main.findChild<QAction*>(QStringLiteral("mnuAddressSetup"))->trigger();
    QCOMPARE(opened, (QStringList{"frmEnterPassword", "frmAddressSetup"}));
    // The main window works on the list as saved.
    QCOMPARE(main.unitLists().count(), 2);
    QCOMPARE(loaded(listFile()), main.unitLists());
}

QTEST_MAIN(TestAddressSetup)
#include "tst_addresssetup.moc"
