#include "settings/AppPassword.h"

#include "platform/CodePage.h"

QString EncodeAppPassword(const QString& text)
{
    const QString trimmed = text.trimmed();
    // 64 bits: the dialogs allow 8 characters, but a longer text must not overflow.
    qint64 acc = 0;
    qint64 power = 1;
    for (const QChar c : trimmed) {
        power *= 3;
        acc += static_cast<qint64>(CodePage::byteOf(c)) * power;
        if (power > (qint64(1) << 50))
            break;
    }
    return QString::number(acc, 16).toUpper();
}
