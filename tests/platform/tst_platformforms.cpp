#include "ModalDriver.h"
#include "platform/forms/MessageBoxPrompts.h"
#include "platform/forms/QtFileDialogs.h"
#include "platform/forms/QtPrinter.h"
#include "platform/PrintDocument.h"

#include <algorithm>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(PromptButtons)
Q_DECLARE_METATYPE(PromptAnswer)

class TestPlatformForms : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A description that shows its patterns is kept as it is; one without patterns is dropped.
    void nameFilters()
    {
        QCOMPARE(
            QtFileDialogs::nameFilters(u"IP Address List (*.ipl)|*.ipl|Text Files|*.txt|"
                                       "Lists|*.ipl;*.lst|All Files"_s),
            (QStringList{"IP Address List (*.ipl)", "Text Files (*.txt)", "Lists (*.ipl *.lst)"}));
    }

    // Escape and the close button must never answer a question for the user: only boxes with a
    // way out (OK alone, or a Cancel button) may be dismissed.
    void escape_data()
    {
        QTest::addColumn<PromptButtons>("buttons");
        QTest::addColumn<int>("defaultButton");
        QTest::addColumn<PromptAnswer>("answer");
        QTest::addColumn<bool>("closable");
        QTest::newRow("ok") << PromptButtons::Ok << 0 << PromptAnswer::Ok << true;
        QTest::newRow("ok cancel") << PromptButtons::OkCancel << 0 << PromptAnswer::Cancel << true;
        QTest::newRow("yes no, yes first")
            << PromptButtons::YesNo << 0 << PromptAnswer::Yes << false;
        QTest::newRow("yes no, no first") << PromptButtons::YesNo << 1 << PromptAnswer::No << false;
        QTest::newRow("yes no cancel")
            << PromptButtons::YesNoCancel << 0 << PromptAnswer::Cancel << true;
    }

    void escape()
    {
        QFETCH(PromptButtons, buttons);
        QFETCH(int, defaultButton);
        QFETCH(PromptAnswer, answer);
        QFETCH(bool, closable);
        bool hadCloseButton = false;
        ModalDriver::onNext(QString(), [&](QWidget* box) {
            hadCloseButton = box->windowFlags().testFlag(Qt::WindowCloseButtonHint);
            QTest::keyClick(box, Qt::Key_Escape);
        });
        MessageBoxPrompts prompts;
        const PromptAnswer got =
            prompts.ask(Prompt{QStringLiteral("Message"), QStringLiteral("Sure?"), buttons,
                               PromptIcon::Question, defaultButton});
        QCOMPARE(got, answer);
        QVERIFY(closable || !hadCloseButton);
    }

    void noticeDoesNotWaitAndComesOnce()
    {
        MessageBoxPrompts prompts;
        for (int i = 0; i < 2; ++i)
            prompts.notify(Prompt{QStringLiteral("Error Message"), QStringLiteral("News")});
        QTRY_VERIFY(QApplication::activeModalWidget());
        const auto boxes = [] {
            const QWidgetList all = QApplication::topLevelWidgets();
            return std::count_if(all.begin(), all.end(), [](QWidget* w) { return w->isVisible(); });
        };
        QCOMPARE(boxes(), 1);
        QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape);
        QTRY_COMPARE(boxes(), 0);
        prompts.notify(Prompt{QStringLiteral("Error Message"), QStringLiteral("More news")});
        QTRY_COMPARE(boxes(), 1); // once closed, the next one shows
    }

    void longDocumentGoesToPdfPages()
    {
        QTemporaryDir dir;
        QFile pdf(dir.filePath(QStringLiteral("report.pdf")));
        qputenv("VIGILSTAT_PRINT_PDF", QFile::encodeName(pdf.fileName()));
        PrintDocument document;
        for (int i = 0; i < 150; ++i)
            document.print(QString(i, QLatin1Char('w'))); // the longer lines wrap
        QVERIFY(QtPrinter().print(document));
        qunsetenv("VIGILSTAT_PRINT_PDF");

        QVERIFY(pdf.open(QIODevice::ReadOnly));
        // One "/Type /Page" per page and one more in "/Type /Pages".
        QVERIFY(pdf.readAll().count("/Type /Page") > 2);
    }
};

QTEST_MAIN(TestPlatformForms)
#include "tst_platformforms.moc"
