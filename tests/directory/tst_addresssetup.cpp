#include "directory/AddressListFile.h"
#include "directory/forms/frmAddressSetup.h"
#include "directory/TimeZones.h"
#include "ModalDriver.h"
#include "ScriptedPlatform.h"
#include "settings/Settings.h"
#include "TestFiles.h"
#include "UnitLists.h"

#include <optional>
#include <QAbstractItemModel>
#include <QListWidget>
#include <QTest>
#include <QTreeView>

using namespace Qt::StringLiterals;
using UnitLists::threeUnits;

class TestAddressSetup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_platform.emplace();
        m_platform->clock.biasMinutes = 300;
        TakePcTimeZone();
        m_settings.emplace();
        m_settings->LoadSettings();
        m_units.clear();
        QVERIFY(SaveAddressList(listFile(), threeUnits()));
    }
    void cleanup()
    {
        m_window.reset();
        m_settings.reset();
        m_platform.reset();
    }

    void addEditRemoveThenDone()
    {
        open();
        QCOMPARE(m_window->windowTitle(), u"Unit Address List Setup"_s);
        QCOMPARE(m_units, threeUnits());
        const QAbstractItemModel* model = m_window->findChild<QTreeView*>()->model();
        QStringList captions;
        for (int c = 0; c < model->columnCount(); ++c)
            captions << model->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(captions, (QStringList{"IP/Phone No.", "Description", "Time Zone", "DST", "Status",
                                        "Time Syn."}));

        onRecordDialog("txtAddress", u"10.1.1.4"_s);
        click("cmdAdd");
        QCOMPARE(UnitLists::lines(m_units).value(3), u"10.1.1.4|Address 4||GMT-05:00|USA|1|1"_s);
        QCOMPARE(m_window->currentRow(), 3);
        m_window->setCurrentRow(1);
        onRecordDialog("txtDescript", u"Renamed"_s);
        click("cmdEdit");
        QCOMPARE(model->index(1, 1).data().toString(), u"Renamed"_s);
        click("cmdRemove");
        QCOMPARE(m_units.DataStr, (QStringList{"10.1.1.1", "10.1.1.3", "10.1.1.4"}));
        QCOMPARE(m_window->currentRow(), 1);

        // The companion viewer's sites: the first has no address, the third is left out.
        for (const QString& value :
             {u"TotalKey=3"_s, u"1DataKey=5551234"_s, u"1ComType=1"_s, u"1Descript=Shop"_s,
              u"1PW=113C4854"_s, u"2DataKey=10.2.2.2"_s})
            m_platform->registry.seed("SVControl", "DataComSets", value.section(u'=', 0, 0),
                                      value.section(u'=', 1));
        ModalDriver::onNext(u"frmImport"_s, [](QWidget* d) {
            auto* list = d->findChild<QListWidget*>(u"List1"_s);
            QCOMPARE(list->selectedItems().size(), 3);
            list->item(2)->setSelected(false);
            ModalDriver::click(d, "cmdImportSelected");
        });
        click("cmdImport");
        QCOMPARE(UnitLists::lines(m_units).value(3), u"5551234|Shop|123|GMT-05:00|USA|1|1"_s);

        // Done saves, and a list it cannot save keeps the window open.
        const QString blocked = file(u"gone/units.ipl"_s);
        m_settings->setIPFileName(blocked);
        click("cmdDone");
        QVERIFY(m_window->isVisible());
        QCOMPARE(m_platform->prompts.texts(),
                 (QStringList{u"One duplicate or invalid site was found! \r\nOne new site was "
                              "added to the Address List."_s,
                              u"Cannot save "_s + blocked}));
        m_settings->setIPFileName(listFile());
        trigger("mnuDone");
        QCOMPARE(m_window->result(), int(QDialog::Accepted));
        UnitAddressList saved;
        QCOMPARE(LoadAddressList(listFile(), saved), AddressListLoad::Loaded);
        QCOMPARE(saved, m_units);
    }

    void emptyOrFullList()
    {
        QVERIFY(SaveAddressList(listFile(), {}));
        open();
        click("cmdRemove");
        click("cmdEdit");
        click("cmdCopy");
        QVERIFY(SaveAddressList(listFile(), UnitLists::fleet(UnitAddressList::kMaxUnits)));
        open();
        click("cmdAdd");
        click("cmdCopy");
        QCOMPARE(m_platform->prompts.texts(),
                 QStringList(2, u"Please add an address to the list first..."_s) +
                     QStringList(2, u"A maximum of 3000 Addresses are allowed..."_s));
    }

    // A copy shows at once; its dialog follows after a pause that locks the list. Cancel, or a
    // close during the pause, takes the copy away again.
    void copy()
    {
        open();
        click("cmdCopy");
        m_window->reject();
        QCOMPARE(m_units, threeUnits());
        QTest::qWait(1200); // past the pause: no dialog, no prompt
        QVERIFY(m_platform->prompts.shown.isEmpty());

        open();
        m_window->setCurrentRow(1);
        ModalDriver::onNext(u"frmAddEdit"_s,
                            [](QWidget* d) { ModalDriver::click(d, "cmdCancel"); });
        click("cmdCopy");
        QCOMPARE(m_units.count(), 4);
        QVERIFY(!m_window->findChild<QPushButton*>(u"cmdDone"_s)->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(m_units, threeUnits(), 5000);

        m_window->setCurrentRow(0);
        ModalDriver::onNext(u"frmAddEdit"_s, [](QWidget* d) {
            ModalDriver::click(d, "cmdOK"); // unchanged: a duplicate, the dialog stays
            ModalDriver::type(d, "txtAddress", u"10.1.1.9"_s);
            ModalDriver::click(d, "cmdOK");
        });
        click("cmdCopy");
        QTRY_COMPARE_WITH_TIMEOUT(UnitLists::lines(m_units).value(3),
                                  u"10.1.1.9|First|123|GMT-05:00|USA|1|1"_s, 5000);
        QCOMPARE(m_platform->prompts.texts(), (QStringList{"You must change this Phone Number!",
                                                           "You must change this IP Address!",
                                                           "Duplicate IP Address detected!"}));
    }

    void incompleteFileKeepsItsOriginal_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("kept");
        QTest::newRow("done") << "done" << true;
        QTest::newRow("save as over it") << "save as" << true;
        QTest::newRow("another file opened first") << "open" << false;
    }

    void incompleteFileKeepsItsOriginal()
    {
        QFETCH(QString, how);
        QFETCH(bool, kept);
        const QString path = listFile();
        const QByteArray original = TestFiles::read(path).chopped(20); // the last record cut short
        TestFiles::write(path, original);
        open();
        m_platform->prompts.clear();
        if (how == u"save as") {
            m_platform->fileDialogs.answers << path;
            trigger("mnuSaveAs");
        } else {
            if (how == u"open") {
                QVERIFY(SaveAddressList(file(u"other.ipl"_s), threeUnits()));
                m_platform->fileDialogs.answers << file(u"other.ipl"_s);
                trigger("mnuOpen");
            }
            click("cmdDone");
        }
        const QString backup = path + u".bak"_s;
        QCOMPARE(TestFiles::read(backup), kept ? original : QByteArray());
        QCOMPARE(m_platform->prompts.texts(),
                 kept ? QStringList{u"The unit address list file could not be read completely. Its "
                                    "original is kept as "_s +
                                    backup}
                      : QStringList{});
    }

    // Open and Save As change the list and its path only when they succeed.
    void openAndSaveAs()
    {
        open();
        const QString other = file(u"other.ipl"_s);
        QVERIFY(SaveAddressList(other, UnitLists::fleet(2)));
        const QString broken = file(u"broken.ipl"_s);
        TestFiles::write(broken, "\"IPADDRESSLIST\"\r\n9\r\n\"10.3.3.3\",\"only one\"\r\n");

        m_platform->fileDialogs.answers << std::nullopt << broken << other;
        trigger("mnuOpen"); // cancelled
        const FileDialogRequest& r = m_platform->fileDialogs.requests.at(0);
        QCOMPARE(r.title, u"Open IP Adress List File"_s);
        QCOMPARE(r.filter, u"IP Address List (*.ipl)|*.ipl"_s);
        QCOMPARE(r.folder, m_platform->programFolder.path());
        trigger("mnuOpen");
        QCOMPARE(m_platform->prompts.texts(), QStringList{u"Cannot open "_s + broken});
        QCOMPARE(m_units, threeUnits());
        QCOMPARE(m_settings->ipFileName(), u"IPAddressList.ipl"_s);
        trigger("mnuOpen");
        QCOMPARE(m_units, UnitLists::fleet(2));
        QCOMPARE(m_settings->ipFileName(), other);

        const QString target = file(u"copy.ipl"_s);
        m_platform->fileDialogs.answers << file(u"nowhere/x.ipl"_s) << target;
        trigger("mnuSaveAs");
        QCOMPARE(m_platform->fileDialogs.requests.at(3).title, u"Save IP Adress List File"_s);
        QCOMPARE(m_settings->ipFileName(), other);
        trigger("mnuSaveAs");
        QCOMPARE(m_settings->ipFileName(), target);
        QCOMPARE(TestFiles::read(target), TestFiles::read(other));
    }

private:
    void open() { m_window.emplace(m_units, *m_settings).show(); }
    void click(const char* name) { ModalDriver::click(&*m_window, name); }
    void trigger(const char* name) { ModalDriver::child<QAction>(&*m_window, name)->trigger(); }
    QString file(const QString& name) const { return m_platform->programFolder.file(name); }
    QString listFile() const { return file(u"IPAddressList.ipl"_s); }
    // Types into the record dialog from inside its exec() and confirms.
    static void onRecordDialog(const char* field, const QString& text)
    {
        ModalDriver::onNext(u"frmAddEdit"_s, [=](QWidget* d) {
            ModalDriver::type(d, field, text);
            ModalDriver::click(d, "cmdOK");
        });
    }

    std::optional<ScriptedPlatform> m_platform;
    std::optional<Settings> m_settings;
    UnitAddressList m_units;
    std::optional<frmAddressSetup> m_window;
};

QTEST_MAIN(TestAddressSetup)
#include "tst_addresssetup.moc"
