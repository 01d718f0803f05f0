#pragma once

#include "platform/Clock.h"
#include "platform/Locale.h"
#include "platform/ProgramFolder.h"
#include "platform/Prompts.h"
#include "platform/Registry.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <QByteArray>
#include <QTemporaryDir>

// The process-wide stand-ins every fuzz target runs on: a Qt core application, quiet prompts,
// a fixed clock, a pinned locale and a throw-away program folder. Nothing reaches the user's
// settings or screen, and Qt's warnings are dropped so they do not slow the run.
class FuzzEnvironment
{
public:
    static FuzzEnvironment& get();

    // The folder files of one input are written to; its content is left to the target.
    QString folder() const { return m_dir.path(); }
    QString file(const QString& name) const;
    // Writes bytes to a file of the program folder, replacing it.
    QString writeFile(const QString& name, const QByteArray& bytes) const;
    // Installs a registry over a fresh folder, so no value of a previous input is seen.
    Registry& freshRegistry();

    class QuietPrompts : public Prompts
    {
    public:
        PromptAnswer answer = PromptAnswer::Yes;
        int shown = 0;
        PromptAnswer ask(const Prompt&) override;
    };
    class FixedClock : public Clock
    {
    public:
        QDateTime utc;
        QDateTime utcNow() const override { return utc; }
        QDateTime localNow() const override { return wallClockOf(utc); }
        int standardBiasMinutes() const override { return 0; }
        bool inDaylightTime() const override { return false; }
    };
    class FixedFolder : public ProgramFolder
    {
    public:
        QString where;
        QString path() const override { return where; }
    };

    QuietPrompts prompts;
    FixedClock clock;
    LocaleFormats locale{QLocale(QLocale::English, QLocale::UnitedStates)};

private:
    FuzzEnvironment();
    void install();

    QTemporaryDir m_dir;
    FixedFolder m_folder;
    std::unique_ptr<IniRegistry> m_registry;
    int m_registryGeneration = 0;
};

// Takes an input apart: single bytes and length-prefixed pieces from the front, the rest last.
// Reads past the end give zeros and empty pieces, so every input is a valid script.
class FuzzInput
{
public:
    FuzzInput(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool atEnd() const { return m_pos >= m_size; }
    quint8 byte();
    quint16 word(); // little-endian
    // A piece whose length is given by the next two bytes, cut to what is left.
    QByteArray piece();
    QByteArray rest();

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// A fuzz target's entry point; the libFuzzer driver or the replay program calls it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// Stops the run loudly: libFuzzer records the input, the replay program fails the test.
[[noreturn]] void fuzzFailure(const char* what);
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition))                                                                          \
            fuzzFailure(#condition);                                                               \
    } while (false)
