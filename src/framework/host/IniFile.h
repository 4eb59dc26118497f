#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace fw::host {

/// A sectioned key/value file of the host ("[Section]" lines, then "key=value"
/// lines). Sections and keys are compared without regard to case and without
/// the blanks (spaces, tabs) around them; when a name occurs twice, the first
/// one counts. Text is 8-bit Western European (Windows
/// code page 1252), as the host writes it.
///
/// The file belongs to the host, so the editor changes only the lines of the
/// keys written through it: every other byte (line endings, spacing around
/// "=", comments, blank lines, order, sections differing only in case) is saved
/// back as it was read. `save` writes a file beside the original and renames it
/// over it, so the file is never left half-written.
class IniFile
{
public:
    /// Files larger than this are no ini file of the host's and are not read.
    static constexpr qint64 kMaxSize = 4 * 1024 * 1024;

    explicit IniFile(QString path);

    const QString &path() const { return m_path; }
    /// True when the path names a regular file (not a folder or a device).
    bool exists() const;
    /// Reads the file. A missing file reads as empty. False, and empty, when the
    /// path names something that is not a regular file, the file cannot be read,
    /// or it is larger than kMaxSize.
    bool load();
    /// Writes the contents back, atomically. False when nothing was loaded (or
    /// the load failed: a file that could not be read is never overwritten) or
    /// the file cannot be written.
    bool save() const;
    /// Takes the contents from memory, read as `load` reads the file's bytes.
    void loadData(const QByteArray &data);
    /// The contents as `save` writes them.
    QByteArray data() const;

    bool hasKey(const QString &section, const QString &key) const;
    QString readString(const QString &section, const QString &key, const QString &def = {}) const;
    int readInteger(const QString &section, const QString &key, int def = 0) const;
    /// Yes/no values are integers: 0 is no, any other number yes.
    bool readBool(const QString &section, const QString &key, bool def) const;
    /// Keys of a section in file order.
    QStringList keys(const QString &section) const;

    /// Sets a key's value in place, or adds the key at the end of its section
    /// (adding the section at the end of the file). False, with nothing changed,
    /// when the text cannot be written in the host's code page or cannot stand
    /// in a line of the file (line breaks; "=" in a key; "]" in a section).
    bool writeString(const QString &section, const QString &key, const QString &value);
    bool writeInteger(const QString &section, const QString &key, int value);
    /// Removes a key's line from its section.
    void removeKey(const QString &section, const QString &key);
    /// Removes every section of that name, with all its lines.
    void eraseSection(const QString &section);

    /// The host's 8-bit text for `text`; false when a character has no byte there.
    static bool encode(const QString &text, QByteArray &bytes);
    static QString decode(const QByteArray &bytes);

private:
    struct Line
    {
        enum Kind { Other, Section, Key };
        QByteArray text; ///< the line without its ending
        QByteArray end;  ///< "\r\n", "\n", "\r" or nothing (last line)
        Kind kind = Other;
        QString name;    ///< section or key name, trimmed
        int valueAt = 0; ///< where a key's value starts in `text`
    };
    static Line parse(QByteArray text, QByteArray end);
    /// First line of the first section of that name; -1 when there is none.
    int findSection(const QString &section) const;
    /// End (exclusive) of the section whose header is at `header`.
    int sectionEnd(int header) const;
    int findKey(const QString &section, const QString &key) const;
    QByteArray newLineEnding() const;

    QString m_path;
    bool m_loaded = false;
    std::vector<Line> m_lines;
};

} // namespace fw::host
