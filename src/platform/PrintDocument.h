#pragma once

#include <QList>
#include <QString>

// One printed line and the font it is printed in.
struct PrintLine
{
    QString text;
    int pointSize = 12;
    bool bold = false;
    bool operator==(const PrintLine&) const = default;
};

// A document built as it is printed: set a font, then print lines in it.
class PrintDocument
{
public:
    explicit PrintDocument(const QString& name = {}) : m_name(name) {}

    // The job's name in the print queue.
    const QString& name() const { return m_name; }
    const QList<PrintLine>& lines() const { return m_lines; }

    void setFont(int pointSize, bool bold);
    // Prints the text in the current font; each line break inside it starts a new line.
    void print(const QString& text = {});
    void print(const QStringList& lines);

private:
    QString m_name;
    QList<PrintLine> m_lines;
    int m_pointSize = 12;
    bool m_bold = false;
};
