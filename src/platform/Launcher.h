#pragma once

#include <QString>

// Starts other programs on the user's desktop. Each call returns false when nothing could be
// started.
class Launcher
{
public:
    virtual ~Launcher() = default;

    virtual bool openInTextEditor(const QString& filePath) = 0;
    virtual bool openWithDefaultApplication(const QString& filePath) = 0;
    // The system information viewer, or "" when none is installed.
    virtual QString systemInfoViewer() const = 0;
    virtual bool startSystemInfoViewer() = 0;
};

class DesktopLauncher : public Launcher
{
public:
    bool openInTextEditor(const QString& filePath) override;
    bool openWithDefaultApplication(const QString& filePath) override;
    QString systemInfoViewer() const override;
    bool startSystemInfoViewer() override;
};
