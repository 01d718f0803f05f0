#pragma once

#include <QString>

// One entry of the companion viewer's connection list.
class clsEthernet
{
public:
    QString Descript() const { return m_descript; }
    void setDescript(const QString& text) { m_descript = text; }
    QString DataStr() const { return m_dataStr; }
    void setDataStr(const QString& text) { m_dataStr = text; }
    // 0 = Ethernet, 1 = POTS.
    quint8 ComType() const { return m_comType; }
    void setComType(quint8 type) { m_comType = type; }
    // Plain text.
    QString Password() const { return m_password; }
    void setPassword(const QString& text) { m_password = text; }

private:
    QString m_descript;
    QString m_dataStr;
    quint8 m_comType = 0;
    QString m_password;
};
