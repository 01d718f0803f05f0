#include "directory/forms/frmAddressSetup.h"
#include "ModalDriver.h"
#include "platform/forms/WindowRules.h"
#include "ScriptedPlatform.h"
#include "settings/Settings.h"

#include <QHeaderView>
#include <QMessageBox>
#include <QRadioButton>
#include <QTreeView>

// A first start: no unit address list file yet.
struct FirstStart
{
    FirstStart() { settings.LoadSettings(); }
    frmAddressSetup* openEditor()
    {
        editor = std::make_unique<frmAddressSetup>(units, settings);
        editor->show();
        editor->activateWindow();
        return QTest::qWaitForWindowActive(editor.get()) ? editor.get() : nullptr;
    }

    ScriptedPlatform platform;
    WindowRules rules{QIcon()};
    Settings settings;
    UnitAddressList units;
    std::unique_ptr<frmAddressSetup> editor;
};

// Types as the user does: into whatever has the keyboard.
void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QVERIFY2(QApplication::focusWidget(), "no window has the keyboard");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
}

class TestWindowRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void boxesAreAsWideAsTheirCaption()
    {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Message"),
                        QStringLiteral("Password Accepted!"));
        const WindowRules rules{QIcon()};
        box.show();
        QVERIFY(box.width() >= WindowRules::captionWidth(box.windowTitle()));
    }

    void addressEditorByKeyboardAlone()
    {
        FirstStart start;
        QWidget* setup = start.openEditor();
        QVERIFY(start.platform.prompts.shown.isEmpty()); // no list file: nothing could be lost

        // The address column fits any address; the description takes the rest.
        QHeaderView* header = setup->findChild<QTreeView*>()->header();
        for (const char* longest : {"255.255.255.255", "1-800-234-56789", "888888888888888"})
            QVERIFY(header->sectionSize(0) >= header->fontMetrics().horizontalAdvance(longest) + 6);
        const int address = header->sectionSize(0);
        const int description = header->sectionSize(1);
        setup->resize(setup->width() + 200, setup->height());
        QTRY_COMPARE(header->sectionSize(1), description + 200);
        QCOMPARE(header->sectionSize(0), address);

        start.platform.prompts.answers << PromptAnswer::No << PromptAnswer::No << PromptAnswer::No
                                       << PromptAnswer::Yes;
        ModalDriver::onNext(QStringLiteral("frmAddEdit"), [](QWidget* record) {
            QTRY_VERIFY(record->isActiveWindow());
            press(Qt::Key_P, Qt::AltModifier);
            QTRY_VERIFY(record->findChild<QRadioButton*>(QStringLiteral("optPOTS"))->isChecked());
            press(Qt::Key_Tab);
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("12-345"));
            press(Qt::Key_Tab);
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("   Lobby cam, east "));
            press(Qt::Key_Return); // an address the checks do not know: "No", keep it
        });
        press(Qt::Key_A, Qt::AltModifier);
        QTRY_VERIFY(start.units.count() == 1 && QApplication::activeWindow() == setup);
        QCOMPARE(start.units.Descript, QStringList{"Lobby cam, east"});

        // Enter edits the row; from the last button, Tab goes to the chosen link type first.
        QString afterCancel;
        ModalDriver::onNext(QStringLiteral("frmAddEdit"), [&afterCancel](QWidget* record) {
            QTRY_VERIFY(record->isActiveWindow());
            record->findChild<QWidget*>(QStringLiteral("cmdCancel"))->setFocus();
            press(Qt::Key_Tab);
            afterCancel = QApplication::focusWidget()->objectName();
            press(Qt::Key_Escape);
        });
        setup->findChild<QTreeView*>()->setFocus();
        press(Qt::Key_Return);
        QCOMPARE(afterCancel, QStringLiteral("optPOTS"));

        // Changes go only when the user says so, and then from memory too: a cycle polls what
        // the file holds.
        QTRY_COMPARE(QApplication::activeWindow(), setup);
        press(Qt::Key_Escape);
        setup->findChild<QAction*>(QStringLiteral("mnuOpen"))->trigger();
        QVERIFY(setup->isVisible() && start.platform.fileDialogs.requests.isEmpty());
        press(Qt::Key_Escape);
        QVERIFY(!setup->isVisible());
        QCOMPARE(start.platform.prompts.texts().mid(1),
                 QStringList(3, "Discard the changes to the unit address list?"));
        QCOMPARE(start.platform.prompts.shown.last().defaultButton, 1); // "No"
        QCOMPARE(start.units.count(), 0);
    }
};

QTEST_MAIN(TestWindowRules)
#include "tst_windowrules.moc"
