#pragma once
#include <QString>
#include <QStringList>

#include <memory>

namespace fw::host {

/// A sectioned key/value file as the host writes them: sections and keys are
/// compared without regard to case, values are text. The file is read by `load`
/// and written by `save`; a missing file loads as empty.
class IniFile
{
public:
    explicit IniFile(QString path);
    ~IniFile();
    IniFile(const IniFile &) = delete;
    IniFile &operator=(const IniFile &) = delete;

    const QString &path() const { return m_path; }
    bool exists() const;
    /// Reads the file; false when it exists but cannot be read.
    bool load();
    /// Writes the file; false when it cannot be written.
    bool save() const;

    bool hasKey(const QString &section, const QString &key) const;
    QString readString(const QString &section, const QString &key, const QString &def = {}) const;
    int readInteger(const QString &section, const QString &key, int def = 0) const;
    /// Yes/no values are integers: 0 is no, any other number yes.
    bool readBool(const QString &section, const QString &key, bool def) const;

    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);

    /// Keys of a section in file order.
    QStringList keys(const QString &section) const;
    void eraseSection(const QString &section);

private:
    struct Impl;
    QString m_path;
    std::unique_ptr<Impl> d;
};

} // namespace fw::host
