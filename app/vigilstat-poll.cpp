// vigilstat-poll: one poll cycle from a terminal, cron or a script.
#include "core/PollCommand.h"
#include "platform/forms/SystemPlatform.h"
#include "platform/UnattendedPrompts.h"

#include <csignal>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};
QtMessageHandler qtHandler = nullptr;

// Qt warns on every start when XDG_RUNTIME_DIR is unset, as it always is under cron: no news for
// whoever reads this command's standard error.
void filterMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg &&
        message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        return;
    qtHandler(type, context, message);
}

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

} // namespace

int main(int argc, char** argv)
{
    // No window is ever shown, so no display is needed (cron, ssh); the printer still needs a
    // GUI application for its fonts.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qtHandler = qInstallMessageHandler(filterMessages);
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vigilstat-poll"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VIGILSTAT_VERSION));

    QTextStream out(stdout);
    QTextStream err(stderr);
    UnattendedPrompts prompts(err);
    // Without an entry editor a missing peer entry is never created from here.
    SystemPlatform platform(prompts);

    PollCommand command(out, err);
    QObject::connect(&command, &PollCommand::finished, &app, &QCoreApplication::exit);

    // The first interrupt stops the cycle gracefully (a dial-up line is hung up); a second one
    // ends at once.
    bool interrupted = false;
    std::unique_ptr<QSocketNotifier> notifier;
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) == 0) {
        notifier = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, &app, [&] {
            char byte = 0;
            [[maybe_unused]] const ssize_t got = ::read(signalPipe[0], &byte, 1);
            if (interrupted) {
                QCoreApplication::exit(PollCommand::SomeFailed);
                return;
            }
            interrupted = true;
            command.stop();
        });
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
    }

    QTimer::singleShot(0, &command, [&] { command.run(QCoreApplication::arguments()); });
    return QGuiApplication::exec();
}
