#include "platform/PrintDocument.h"

#include <QRegularExpression>
#include <QStringList>

void PrintDocument::setFont(int pointSize, bool bold)
{
    m_pointSize = pointSize;
    m_bold = bold;
}

void PrintDocument::print(const QString& text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    for (const QString& line : text.split(lineBreak))
        m_lines.append(PrintLine{line, m_pointSize, m_bold});
}

void PrintDocument::print(const QStringList& lines)
{
    for (const QString& line : lines)
        print(line);
}
