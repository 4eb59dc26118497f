#include "IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <array>

namespace fw::host {

namespace {

// Code page 1252 differs from ISO 8859-1 only in 0x80-0x9F. The five bytes it
// leaves undefined map to the control characters of the same number, as Windows
// does, so that every byte survives a read and a write.
constexpr std::array<char16_t, 32> kCp1252Alto = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool esBlanco(char c) { return c == ' ' || c == '\t'; }

QByteArray recortar(const QByteArray &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && esBlanco(text[begin]))
        ++begin;
    while (end > begin && esBlanco(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

// Names are read from the file without the blanks around them, so the names a
// caller gives lose the same blanks, and no more, before they are looked up or written.
QString recortarNombre(const QString &name)
{
    qsizetype begin = 0;
    qsizetype end = name.size();
    while (begin < end && (name[begin] == QLatin1Char(' ') || name[begin] == QLatin1Char('\t')))
        ++begin;
    while (end > begin && (name[end - 1] == QLatin1Char(' ') || name[end - 1] == QLatin1Char('\t')))
        --end;
    return name.mid(begin, end - begin);
}

bool mismoNombre(const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

bool tieneSaltoDeLinea(const QString &text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

} // namespace

bool IniFile::encode(const QString &text, QByteArray &bytes)
{
    bytes.clear();
    bytes.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes.append(char(u));
            continue;
        }
        const auto it = std::find(kCp1252Alto.begin(), kCp1252Alto.end(), u);
        if (it == kCp1252Alto.end())
            return false;
        bytes.append(char(0x80 + (it - kCp1252Alto.begin())));
    }
    return true;
}

QString IniFile::decode(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text.append(b >= 0x80 && b < 0xA0 ? QChar(kCp1252Alto[b - 0x80]) : QChar(char16_t(b)));
    }
    return text;
}

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

bool IniFile::exists() const { return QFileInfo(m_path).isFile(); }

bool IniFile::load()
{
    m_lines.clear();
    m_loaded = false;
    const QFileInfo info(m_path);
    if (!info.exists()) {
        m_loaded = true;
        return true;
    }
    if (!info.isFile() || info.size() > kMaxSize)
        return false;
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Read no more than the limit even when the file grew since it was looked at,
    // in pieces: asking for the limit at once would allocate it for every small file.
    QByteArray bytes;
    while (bytes.size() <= kMaxSize) {
        const QByteArray piece = file.read(std::min<qint64>(64 * 1024, kMaxSize + 1 - bytes.size()));
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxSize)
        return false;

    loadData(bytes);
    return true;
}

void IniFile::loadData(const QByteArray &data)
{
    m_lines.clear();
    qsizetype start = 0;
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (data[i] != '\n' && data[i] != '\r')
            continue;
        const qsizetype endLength = (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n') ? 2 : 1;
        m_lines.push_back(parse(data.mid(start, i - start), data.mid(i, endLength)));
        i += endLength - 1;
        start = i + 1;
    }
    if (start < data.size())
        m_lines.push_back(parse(data.mid(start), {}));
    m_loaded = true;
}

QByteArray IniFile::data() const
{
    QByteArray out;
    for (const Line &line : m_lines)
        out += line.text + line.end;
    return out;
}

bool IniFile::save() const
{
    if (!m_loaded)
        return false;
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(data());
    return file.commit();
}

IniFile::Line IniFile::parse(QByteArray text, QByteArray end)
{
    Line line;
    line.text = std::move(text);
    line.end = std::move(end);
    const QByteArray trimmed = recortar(line.text);
    if (trimmed.startsWith('[')) {
        const qsizetype close = trimmed.indexOf(']');
        line.kind = Line::Section;
        line.name = decode(recortar(trimmed.mid(1, close < 0 ? -1 : close - 1)));
    } else if (!trimmed.startsWith(';')) {
        const qsizetype eq = line.text.indexOf('=');
        if (eq >= 0) {
            line.kind = Line::Key;
            line.name = decode(recortar(line.text.left(eq)));
            line.valueAt = int(eq + 1);
        }
    }
    return line;
}

int IniFile::findSection(const QString &name) const
{
    const QString section = recortarNombre(name);
    for (int i = 0; i < int(m_lines.size()); ++i)
        if (m_lines[size_t(i)].kind == Line::Section && mismoNombre(m_lines[size_t(i)].name, section))
            return i;
    return -1;
}

int IniFile::sectionEnd(int header) const
{
    int i = header + 1;
    while (i < int(m_lines.size()) && m_lines[size_t(i)].kind != Line::Section)
        ++i;
    return i;
}

int IniFile::findKey(const QString &section, const QString &name) const
{
    const QString key = recortarNombre(name);
    const int header = findSection(section);
    if (header < 0)
        return -1;
    for (int i = header + 1, end = sectionEnd(header); i < end; ++i)
        if (m_lines[size_t(i)].kind == Line::Key && mismoNombre(m_lines[size_t(i)].name, key))
            return i;
    return -1;
}

QByteArray IniFile::newLineEnding() const
{
    for (const Line &line : m_lines)
        if (!line.end.isEmpty())
            return line.end;
    // The host is a Windows program: a file it never wrote gets its line endings.
    return QByteArrayLiteral("\r\n");
}

bool IniFile::hasKey(const QString &section, const QString &key) const { return findKey(section, key) >= 0; }

QString IniFile::readString(const QString &section, const QString &key, const QString &def) const
{
    const int i = findKey(section, key);
    if (i < 0)
        return def;
    const Line &line = m_lines[size_t(i)];
    return decode(recortar(line.text.mid(line.valueAt)));
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

QStringList IniFile::keys(const QString &section) const
{
    QStringList out;
    const int header = findSection(section);
    if (header < 0)
        return out;
    for (int i = header + 1, end = sectionEnd(header); i < end; ++i) {
        const Line &line = m_lines[size_t(i)];
        if (line.kind == Line::Key && !line.name.isEmpty() && !out.contains(line.name, Qt::CaseInsensitive))
            out << line.name;
    }
    return out;
}

bool IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    const QString nombreClave = recortarNombre(key);
    const QString nombreSeccion = recortarNombre(section);
    QByteArray clave, seccion, valor;
    if (nombreClave.isEmpty() || nombreClave.contains(QLatin1Char('=')) || nombreClave.startsWith(QLatin1Char('['))
        || nombreClave.startsWith(QLatin1Char(';')) || nombreSeccion.contains(QLatin1Char(']'))
        || tieneSaltoDeLinea(nombreClave) || tieneSaltoDeLinea(nombreSeccion) || tieneSaltoDeLinea(value)
        || !encode(nombreClave, clave) || !encode(nombreSeccion, seccion) || !encode(value, valor))
        return false;

    if (const int i = findKey(section, key); i >= 0) {
        Line &line = m_lines[size_t(i)];
        int at = line.valueAt;
        while (at < line.text.size() && esBlanco(line.text[at]))
            ++at;
        line.text = line.text.left(at) + valor;
        return true;
    }

    const int header = findSection(section);
    if (header < 0) {
        if (!m_lines.empty() && m_lines.back().end.isEmpty())
            m_lines.back().end = newLineEnding();
        const QByteArray end = newLineEnding();
        m_lines.push_back(parse('[' + seccion + ']', end));
        m_lines.push_back(parse(clave + '=' + valor, end));
        return true;
    }
    // After the section's last key, so that blank lines and comments before the next section stay there.
    int at = header + 1;
    for (int i = header + 1, end = sectionEnd(header); i < end; ++i)
        if (m_lines[size_t(i)].kind == Line::Key)
            at = i + 1;
    if (m_lines[size_t(at - 1)].end.isEmpty())
        m_lines[size_t(at - 1)].end = newLineEnding();
    m_lines.insert(m_lines.begin() + at, parse(clave + '=' + valor, newLineEnding()));
    return true;
}

bool IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    return writeString(section, key, QString::number(value));
}

void IniFile::removeKey(const QString &section, const QString &key)
{
    if (const int i = findKey(section, key); i >= 0)
        m_lines.erase(m_lines.begin() + i);
}

void IniFile::eraseSection(const QString &section)
{
    for (int header = findSection(section); header >= 0; header = findSection(section))
        m_lines.erase(m_lines.begin() + header, m_lines.begin() + sectionEnd(header));
}

} // namespace fw::host
