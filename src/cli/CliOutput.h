#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

class QJsonDocument;

// What the program says: results on stdout, progress and errors on stderr,
// always as UTF-8 whatever the locale, so scripts can rely on the bytes.
namespace CliOutput {

// Results: every write is flushed and checked; a stdout that does not take
// them (a full disk, a closed pipe) is a CliFailure, never a silent success.
void out(const QString& text);
void outBytes(const QByteArray& bytes);
// Messages: written as far as stderr takes them.
void err(const QString& text);
void json(const QJsonDocument& document);
bool stderrIsTerminal();

// An errno value as the Russian reason said after a message.
QString systemReason(int error);

// A core message as one line: line breaks inside it become ": ".
QString oneLine(const QString& message);

// An instrument time in JSON documents: its wall-clock reading as
// "yyyy-MM-ddThh:mm:ss", without a zone; empty for a null time.
QString isoClock(const QDateTime& time);

// The shortest decimal that reads back as the same float (20.5, not
// 20.500000381...), as text and as a JSON number.
QString floatText(float value);
double floatNumber(float value);

} // namespace CliOutput

// Rows of texts printed with aligned columns, two blanks between them.
class TextTable
{
public:
    void addRow(const QStringList& cells) { m_rows << cells; }
    QString text() const;

private:
    QList<QStringList> m_rows;
};

// Progress of one item (a file) on stderr: a bar redrawn in place on a
// terminal; otherwise nothing until the item ends, then one line for it.
class ProgressLine
{
public:
    explicit ProgressLine(bool terminal = CliOutput::stderrIsTerminal()) : m_terminal(terminal) {}

    void start(const QString& label);
    void update(float percent);
    // Ends the item with its outcome ("загружен", a message).
    void finish(const QString& outcome);
    // Ends the item without a line of its own (its failure is said elsewhere).
    void clear();

private:
    bool m_terminal;
    QString m_label;
    int m_shown = -1;
};
