// Prints how many status texts are built per second for a mix of unit types.
#include "platform/Locale.h"
#include "platform/Platform.h"
#include "platform/Prompts.h"
#include "SimulatedUnitStatus.h"
#include "status/clsStatusString.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

namespace {

class CountingPrompts : public Prompts
{
public:
    PromptAnswer ask(const Prompt&) override
    {
        ++shown;
        return PromptAnswer::Ok;
    }
    int shown = 0;
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    LocaleFormats locale(QLocale(QLocale::English, QLocale::UnitedStates));
    CountingPrompts prompts;
    PlatformServices services;
    services.locale = &locale;
    services.prompts = &prompts;
    Platform::install(services);

    QList<QByteArray> blocks;
    for (int type : {0, 1, 2, 3, 4, 80, 96}) {
        SimulatedUnitStatus status = SimulatedUnitStatus::typical(type, type + 1);
        status.unitTime = 2088597909;
        status.alarmStatus = 0x00050003;
        status.videolossStatus = 0x00000800;
        blocks.append(status.encode());
    }

    clsStatusString decoder;
    const QString header = QStringLiteral("127.0.0.2  -  Bench unit   3/8/2026 2:06:00 PM");
    qint64 built = 0;
    qint64 characters = 0;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 2000) {
        for (const QByteArray& block : std::as_const(blocks)) {
            characters += decoder.CreatStatusString(block, header).size();
            ++built;
        }
    }
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    QTextStream(stdout) << "status texts per second (types 0, 1, 2, 3, 4, 80, 96 in turn): "
                        << qRound64(double(built) / seconds) << " (" << built << " texts, "
                        << characters / built << " characters each on average, " << prompts.shown
                        << " boxes)" << Qt::endl;
    return 0;
}
