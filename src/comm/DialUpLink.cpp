#include "comm/DialUpLink.h"

#include <QTimer>

DialUpLink::DialUpLink(const Settings&, QObject* parent) : QObject(parent) {}

void DialUpLink::DialNumber(const QString&)
{
    QTimer::singleShot(0, this, [this] { Q_EMIT dialFinished(1); });
}

void DialUpLink::HangUp()
{
    QTimer::singleShot(0, this, [this] { Q_EMIT hungUp(); });
}
