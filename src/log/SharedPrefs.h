#pragma once
// The shared XML preferences that publish the station's identity to the
// maker's other programs: a declaration followed by flat <KEY>value</KEY>
// lines. Held as one text; only ever written, never read back for values.
#include <QString>

class SharedPrefs {
public:
    // Reads the file (dropping the CR LF that saving appends) or starts from
    // the XML declaration when there is none. A path that names no regular
    // file of a sane size (a device, a pipe, a huge file) is not read and
    // never written: false with the reason.
    bool load(const QString &path, QString *reason = nullptr);
    // Sets KEY (the key upper-cased) to value; with saveNow the whole text is
    // written to the file followed by CR LF, and false comes back with the
    // reason when it cannot be written.
    bool set(const QString &key, const QString &value, bool saveNow, QString *error = nullptr);

    QString text() const { return m_text; }
    QString path() const { return m_path; }
    static QString declaration();
    static inline const QString FileName = QStringLiteral("SharedUserPreferences.xml");

private:
    QString m_path;
    QString m_refused; // why the file at m_path was not read
    QString m_text = declaration();
};
