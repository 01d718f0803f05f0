#include "ScriptedAdapters.h"

ScriptedRegistry::ScriptedRegistry() : IniRegistry(QString())
{
    setRootFolder(m_dir.path());
}

void ScriptedRegistry::seed(const QString& appKey, const QString& section, const QString& name,
                            const QString& text)
{
    IniRegistry::setValue(appKey, section, name, text);
}

bool ScriptedRegistry::isEmpty() const
{
    return QDir(rootFolder()).entryList(QDir::Files | QDir::NoDotAndDotDot).isEmpty();
}

bool ScriptedRegistry::setValue(const QString& appKey, const QString& section, const QString& name,
                                const QString& text)
{
    if (failWrites)
        return false;
    return IniRegistry::setValue(appKey, section, name, text);
}

PromptAnswer ScriptedPrompts::ask(const Prompt& prompt)
{
    shown.append(prompt);
    if (!answers.isEmpty())
        return answers.dequeue();
    switch (prompt.buttons) {
    case PromptButtons::YesNo:
    case PromptButtons::YesNoCancel:
        return PromptAnswer::Yes;
    case PromptButtons::RetryCancel:
        return PromptAnswer::Retry;
    case PromptButtons::AbortRetryIgnore:
        return PromptAnswer::Abort;
    default:
        return PromptAnswer::Ok;
    }
}

QStringList ScriptedPrompts::texts() const
{
    QStringList out;
    for (const Prompt& p : shown)
        out.append(p.text);
    return out;
}

ScriptedClock::ScriptedClock() : utc(QDate(2026, 6, 15), QTime(12, 0), Qt::UTC) {}

void ScriptedClock::setLocal(const QDateTime& wallClock)
{
    utc = wallClockOf(wallClock).addSecs(60LL * (biasMinutes - (daylight ? 60 : 0)));
}

QDateTime ScriptedClock::localNow() const
{
    return wallClockOf(utc).addSecs(-60LL * (biasMinutes - (daylight ? 60 : 0)));
}

bool ScriptedLauncher::openInTextEditor(const QString& filePath)
{
    calls.append({QStringLiteral("editor"), filePath});
    return true;
}

bool ScriptedLauncher::openWithDefaultApplication(const QString& filePath)
{
    calls.append({QStringLiteral("open"), filePath});
    return true;
}

bool ScriptedLauncher::startSystemInfoViewer()
{
    calls.append({QStringLiteral("sysinfo"), viewer});
    return !viewer.isEmpty();
}

bool ScriptedPrinter::print(const PrintDocument& document)
{
    if (fail)
        return false;
    jobs.append(document);
    return true;
}
