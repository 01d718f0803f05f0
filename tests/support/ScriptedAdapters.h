#pragma once

#include "platform/Clock.h"
#include "platform/Launcher.h"
#include "platform/Locale.h"
#include "platform/PrintDocument.h"
#include "platform/Printer.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompts.h"
#include "platform/Registry.h"

#include <QDir>
#include <QList>
#include <QQueue>
#include <QStringList>
#include <QTemporaryDir>

// The real INI registry over a temporary root folder that disappears with the test.
class ScriptedRegistry : public IniRegistry
{
public:
    ScriptedRegistry();

    // Writes a raw value, as a user or another program would have stored it.
    void seed(const QString& appKey, const QString& section, const QString& name,
              const QString& text);
    // True when nothing at all has been stored.
    bool isEmpty() const;

    bool failWrites = false;
    bool setValue(const QString& appKey, const QString& section, const QString& name,
                  const QString& text) override;

private:
    QTemporaryDir m_dir;
};

// Records every box; answers from a queue, or with the first button when the queue is empty.
class ScriptedPrompts : public Prompts
{
public:
    PromptAnswer ask(const Prompt& prompt) override;
    void notify(const Prompt& prompt) override { notified.append(prompt); }

    QList<Prompt> shown;
    QList<Prompt> notified; // boxes that did not wait for an answer
    QQueue<PromptAnswer> answers;

    QStringList texts() const;
    void clear() { shown.clear(); }
};

// Fake time: set the UTC moment, the PC's standard bias and its daylight flag.
class ScriptedClock : public Clock
{
public:
    ScriptedClock();

    QDateTime utc;
    int biasMinutes = 0;
    bool daylight = false;

    // Sets the moment from a PC local wall-clock time under the current bias and daylight flag.
    void setLocal(const QDateTime& wallClock);

    QDateTime utcNow() const override { return utc; }
    QDateTime localNow() const override;
    int standardBiasMinutes() const override { return biasMinutes; }
    bool inDaylightTime() const override { return daylight; }
};

// English (United States) unless a test pins another locale.
class PinnedLocale : public LocaleFormats
{
public:
    explicit PinnedLocale(const QLocale& locale = QLocale(QLocale::English, QLocale::UnitedStates))
        : LocaleFormats(locale)
    {}
};

class ScriptedProgramFolder : public ProgramFolder
{
public:
    QString path() const override { return m_dir.path(); }
    QString file(const QString& name) const { return QDir(m_dir.path()).filePath(name); }

private:
    QTemporaryDir m_dir;
};

class ScriptedLauncher : public Launcher
{
public:
    struct Call
    {
        QString what;
        QString path;
    };
    QList<Call> calls;
    QString viewer; // "" = no system information viewer installed

    bool openInTextEditor(const QString& filePath) override;
    bool openWithDefaultApplication(const QString& filePath) override;
    QString systemInfoViewer() const override { return viewer; }
    bool startSystemInfoViewer() override;
};

// Keeps every job it is given, or refuses them all as a PC without a printer does.
class ScriptedPrinter : public Printer
{
public:
    QList<PrintDocument> jobs;
    bool fail = false;

    bool print(const PrintDocument& document) override;
};
