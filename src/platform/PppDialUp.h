#pragma once

#include "platform/DialUp.h"

#include <functional>
#include <QList>
#include <QStringList>

class QProcess;

// Dial-up through pppd: the peer entry is a file of pppd options in the peers folder, and chat
// dials the number given for each call. pppd is started directly, never through a shell; the
// connect script it runs gets every word single-quoted, and numbers are checked before that.
class PppDialUp : public DialUp
{
    Q_OBJECT

public:
    static constexpr int MaxNumberLength = 64;

    // Opens the window that lets the user write an entry into the given peers folder; returns 0
    // or an error code.
    using EntryEditor = std::function<qint32(const QString& peersFolder)>;

    explicit PppDialUp(QObject* parent = nullptr);
    ~PppDialUp() override;

    // "/etc/ppp/peers", or the folder named by VIGILSTAT_PPP_PEERS.
    static QString defaultPeersFolder();
    QString peersFolder() const { return m_peersFolder; }
    void setPeersFolder(const QString& folder) { m_peersFolder = folder; }
    void setEntryEditor(EntryEditor editor) { m_entryEditor = std::move(editor); }

    // Digits, blanks and -+#*,() only, 1 to MaxNumberLength characters.
    static bool isDiallable(const QString& number);
    // A peer entry name pppd can be called with: a plain file name.
    static bool isValidEntryName(const QString& name);
    // The file of the entry in folder, found without regard to case; "" when there is none.
    static QString findEntryFile(const QString& folder, const QString& name);

    qint32 validateEntry(const QString& name) override;
    qint32 createEntry() override;
    qint32 dial(const DialParams& params) override;
    int connectionCount() const override;
    void hangUp() override;
    QString errorString(qint32 code) const override;
    qint32 linkSpeed() const override { return m_linkSpeed; }
    QString farEndAddress() const override { return QStringLiteral("1.1.1.1"); }

private:
    class Link;

    QStringList pppdArguments(const QString& entryFile, const QString& chatProgram,
                              const DialParams& params) const;
    void onLinkEvent(Link* link, qint32 state, qint32 error);
    void onLinkSpeed(Link* link, qint32 bitsPerSecond);
    void onLinkFinished(Link* link);

    QString m_peersFolder;
    EntryEditor m_entryEditor;
    QList<Link*> m_links; // every pppd we started that has not ended yet
    Link* m_current = nullptr;
    qint32 m_linkSpeed = 0;
};
