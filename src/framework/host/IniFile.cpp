#include "IniFile.h"

#include <QFileInfo>

// Keys and values are kept as UTF-8 bytes; only the comparison ignores case.
#define SI_NO_CONVERSION
#include <SimpleIni.h>

namespace fw::host {

struct IniFile::Impl
{
    // CSimpleIniA compares sections and keys without regard to case (the Case
    // variant is the case-sensitive one).
    CSimpleIniA ini{true, false, false};
};

namespace {
QByteArray u8(const QString &s) { return s.toUtf8(); }
} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)), d(std::make_unique<Impl>()) {}
IniFile::~IniFile() = default;

bool IniFile::exists() const { return QFileInfo::exists(m_path); }

bool IniFile::load()
{
    d->ini.Reset();
    if (!exists())
        return true;
    return d->ini.LoadFile(m_path.toLocal8Bit().constData()) >= 0;
}

bool IniFile::save() const
{
    return d->ini.SaveFile(m_path.toLocal8Bit().constData(), false) >= 0;
}

bool IniFile::hasKey(const QString &section, const QString &key) const
{
    return d->ini.GetValue(u8(section).constData(), u8(key).constData(), nullptr) != nullptr;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &def) const
{
    const char *v = d->ini.GetValue(u8(section).constData(), u8(key).constData(), nullptr);
    return v ? QString::fromUtf8(v) : def;
}

int IniFile::readInteger(const QString &section, const QString &key, int def) const
{
    bool ok = false;
    const int v = readString(section, key).trimmed().toInt(&ok);
    return ok ? v : def;
}

bool IniFile::readBool(const QString &section, const QString &key, bool def) const
{
    if (!hasKey(section, key))
        return def;
    bool ok = false;
    const int v = readString(section, key).trimmed().toInt(&ok);
    return ok ? v != 0 : def;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    d->ini.SetValue(u8(section).constData(), u8(key).constData(), u8(value).constData());
}

void IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

QStringList IniFile::keys(const QString &section) const
{
    CSimpleIniA::TNamesDepend names;
    d->ini.GetAllKeys(u8(section).constData(), names);
    names.sort(CSimpleIniA::Entry::LoadOrder());
    QStringList out;
    for (const auto &n : names)
        out << QString::fromUtf8(n.pItem);
    return out;
}

void IniFile::eraseSection(const QString &section)
{
    d->ini.Delete(u8(section).constData(), nullptr);
}

} // namespace fw::host
