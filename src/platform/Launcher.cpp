#include "platform/Launcher.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace {

QString firstInstalled(const QStringList& programs)
{
    for (const QString& p : programs) {
        const QString found = QStandardPaths::findExecutable(p);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

} // namespace

bool DesktopLauncher::openInTextEditor(const QString& filePath)
{
    // A graphical editor first; xdg-open picks the user's choice for text files otherwise.
    const QString editor = firstInstalled(
        {QStringLiteral("gnome-text-editor"), QStringLiteral("gedit"), QStringLiteral("kate"),
         QStringLiteral("kwrite"), QStringLiteral("mousepad"), QStringLiteral("pluma"),
         QStringLiteral("xed"), QStringLiteral("featherpad")});
    if (!editor.isEmpty())
        return QProcess::startDetached(editor, {filePath});
    return openWithDefaultApplication(filePath);
}

bool DesktopLauncher::openWithDefaultApplication(const QString& filePath)
{
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    return !opener.isEmpty() && QProcess::startDetached(opener, {filePath});
}

QString DesktopLauncher::systemInfoViewer() const
{
    return firstInstalled({QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"),
                           QStringLiteral("kinfocenter"), QStringLiteral("gnome-system-monitor"),
                           QStringLiteral("mate-system-monitor"),
                           QStringLiteral("xfce4-taskmanager"), QStringLiteral("lxtask")});
}

bool DesktopLauncher::startSystemInfoViewer()
{
    const QString viewer = systemInfoViewer();
    return !viewer.isEmpty() && QProcess::startDetached(viewer, {});
}
