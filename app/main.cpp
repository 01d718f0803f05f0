#include "comm/forms/frmDialUpEntry.h"
#include "core/forms/frmVigilStat.h"
#include "core/SingleInstance.h"
#include "platform/forms/MessageBoxPrompts.h"
#include "platform/forms/QtFileDialogs.h"
#include "platform/forms/SystemPlatform.h"
#include "platform/forms/WindowRules.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VigilStat"));
    QApplication::setApplicationVersion(QStringLiteral(VIGILSTAT_VERSION));
    // Ties the windows to the menu entry, so the desktop shows them under its name and icon.
    QApplication::setDesktopFileName(QStringLiteral("vigilstat"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Watches a fleet of Korvo units."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption start(
        QStringLiteral("start"),
        QStringLiteral("Load the unit address list that the setting \"IPFileName\" names and "
                       "start a cycle in the saved operating mode once the window is open."));
    parser.addOption(start);
    parser.process(app);

    MessageBoxPrompts prompts;
    QtFileDialogs fileDialogs;
    SystemPlatform platform(prompts, &fileDialogs);
    platform.dialUp().setEntryEditor(&frmDialUpEntry::createEntry);
    WindowRules rules(frmVigilStat::normalIcon());

    SingleInstance instance;
    frmVigilStat window;
    if (!window.Load(instance))
        return 0;
    window.show();
    if (parser.isSet(start))
        QTimer::singleShot(0, &window, &frmVigilStat::StartWithListFile);
    return QApplication::exec();
}
