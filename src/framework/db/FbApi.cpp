#include "framework/db/FbApi.h"

#include "framework/base/Error.h"

#include <QStringDecoder>

#include <ibase.h>

#include <algorithm>

namespace fw::fb {

Firebird::IMaster *master()
{
    static Firebird::IMaster *m = Firebird::fb_get_master_interface();
    return m;
}

Firebird::IUtil *util()
{
    static Firebird::IUtil *u = master()->getUtilInterface();
    return u;
}

void raise(Firebird::IStatus *status)
{
    char buffer[4096] = {};
    util()->formatStatus(buffer, sizeof buffer - 1, status);
    // The server quotes file names as the system spells them (UTF-8) and data in the
    // connection's ISO 8859-1; text that is not valid UTF-8 is the latter.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(QByteArrayView(buffer));
    if (utf8.hasError())
        text = QString::fromLatin1(buffer);
    text = text.trimmed();

    std::vector<long> codes;
    QString sqlState;
    const ISC_STATUS *v = status->getErrors();
    for (int i = 0; v && v[i] != isc_arg_end;) {
        const ISC_STATUS kind = v[i];
        if (kind == isc_arg_gds)
            codes.push_back(long(v[i + 1]));
        else if (kind == isc_arg_sql_state)
            sqlState = QString::fromLatin1(reinterpret_cast<const char *>(v[i + 1]));
        // Interpreted strings carry a length and a pointer; every other argument one value.
        i += kind == isc_arg_cstring ? 3 : 2;
    }
    const int sqlCode = v ? int(isc_sqlcode(v)) : 0;
    if (sqlState.isEmpty() && v && v[0] == isc_arg_gds && v[1] != 0) {
        // The server sends no SQLSTATE of its own here; the client derives it from the codes.
        char state[6] = {};
        fb_sqlstate(state, v);
        sqlState = QString::fromLatin1(state, 5);
    }
    if (text.isEmpty())
        text = QStringLiteral("Error de la base de datos");
    throw DatabaseError(text, std::move(codes), sqlState, sqlCode);
}

bool connectionLost(Firebird::IStatus *status) noexcept
{
    static constexpr ISC_STATUS kLost[] = {isc_att_shutdown,  isc_shutdown,     isc_network_error, isc_net_read_err,
                                           isc_net_write_err, isc_conn_lost,    isc_lost_db_connection};
    const ISC_STATUS *v = status->getErrors();
    for (int i = 0; v && v[i] != isc_arg_end;) {
        if (v[i] == isc_arg_gds && std::find(std::begin(kLost), std::end(kLost), v[i + 1]) != std::end(kLost))
            return true;
        i += v[i] == isc_arg_cstring ? 3 : 2;
    }
    return false;
}

void Link::noteFailure(Firebird::IStatus *status) noexcept
{
    if (lost() || !connectionLost(status))
        return;
    try {
        fb::raise(status);
    } catch (...) {
        m_error = std::current_exception();
    }
    if (m_attachment) {
        // Closes the socket on our side only: it sends nothing and waits for nothing.
        QuietStatus quiet;
        m_attachment->cancelOperation(&quiet, fb_cancel_abort);
    }
}

void Link::raiseLost() const
{
    std::rethrow_exception(m_error);
}

XpbBuilder::XpbBuilder(Status &status, unsigned kind) : m_p(util()->getXpbBuilder(&status, kind, nullptr, 0)) {}

std::vector<ParamLine> readParamLines(const QStringList &lines, const ParamLineKind &kind)
{
    std::vector<ParamLine> out;
    const QLatin1StringView prefix(kind.prefix);
    for (const QString &line : lines) {
        const QString text = line.trimmed();
        if (text.isEmpty())
            continue;
        const qsizetype eq = text.indexOf(QLatin1Char('='));
        QString key = (eq < 0 ? text : text.left(eq)).trimmed().toLower();
        if (key.startsWith(prefix))
            key = key.mid(prefix.size());
        const auto name = std::find_if(kind.names.begin(), kind.names.end(),
                                       [&](const ParamName &n) { return key == QLatin1StringView(n.name); });
        if (name == kind.names.end())
            throw Error(QString::fromUtf8(kind.unknownMessage).arg(text));
        out.push_back({&*name, eq < 0 ? QString() : text.mid(eq + 1), text});
    }
    return out;
}

QByteArray toLatin1(const QString &text, const QString &what)
{
    QByteArray out;
    out.resize(text.size());
    char *d = out.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c > 0xFF) {
            // Refused rather than replaced: a '?' in the database would lose the text for good.
            QString bad = text.at(i);
            if (QChar::isHighSurrogate(c) && i + 1 < text.size())
                bad += text.at(i + 1);
            throw Error(QStringLiteral("El texto %1 contiene el carácter «%2», que no existe en ISO 8859-1")
                            .arg(what, bad));
        }
        d[i] = char(c);
    }
    return out;
}

} // namespace fw::fb
