#pragma once
// The sequential settings-file format shared by every settings file, the text
// backup and the exports that use it: values separated by commas, text in
// double quotes, numbers bare with "." as decimal point, lines ended by CR LF.
// A double quote within a text is written as two double quotes.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

class SeqWriter {
public:
    // Start a new line: values added after this go on a line of their own.
    SeqWriter &text(const QString &value);
    SeqWriter &number(double value);
    SeqWriter &number(float value);
    SeqWriter &number(qint64 value);
    SeqWriter &number(int value) { return number(static_cast<qint64>(value)); }
    // Ends the current line with CR LF.
    SeqWriter &endLine();

    // A whole line of quoted texts.
    SeqWriter &textLine(const QStringList &values);

    QByteArray data() const { return m_data; }
    bool save(const QString &path, QString *error = nullptr) const;

private:
    void separate();
    QByteArray m_data;
    bool m_lineOpen = false;
};

// Reads the values back in order; quoted values may hold commas.
class SeqReader {
public:
    explicit SeqReader(const QByteArray &data);
    // Nothing when the file is missing or is not read (reason says why:
    // not a regular file, or larger than a settings file can be).
    static std::optional<SeqReader> fromFile(const QString &path, QString *reason = nullptr);

    bool atEnd() const { return m_pos >= m_values.size(); }
    qsizetype remaining() const { return m_values.size() - m_pos; }
    // The next value as text; nothing when the file is used up.
    std::optional<QString> nextText();
    // The next value as a number; nothing when used up or not a number (the
    // value is consumed either way so that later values stay in step).
    std::optional<double> nextNumber();

    // The file split into lines, each line into its values. A quote left
    // open ends with its line; such lines are listed in unclosed (0-based).
    static QList<QStringList> lines(const QByteArray &data, QList<int> *unclosed = nullptr);

private:
    QStringList m_values;
    qsizetype m_pos = 0;
};

// Number formatting of the format: shortest exact text, "." decimal point.
QString seqNumber(double value);
QString seqNumber(float value);
// A number as typed by a user or read from a file ("1e3", " 5", "-0.5").
std::optional<double> parseNumber(const QString &text);
