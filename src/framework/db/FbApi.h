#pragma once
// Internal to the data access framework: the Firebird client's master
// interface, status wrappers, parameter blocks and Latin-1 text conversion.
#include "framework/db/FbRef.h"

#include <firebird/Interface.h>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <exception>
#include <span>
#include <vector>

namespace fw::fb {

Firebird::IMaster *master();
Firebird::IUtil *util();

/// Throws the error held in a status as fw::DatabaseError: Firebird's formatted
/// text, the gds codes, SQLSTATE and SQLCODE.
[[noreturn]] void raise(Firebird::IStatus *status);

/// The status says the attachment is gone: killed, the database or server shut
/// down, or the network cut.
bool connectionLost(Firebird::IStatus *status) noexcept;

/// What is known of one attachment's link to the server, shared by its Database
/// and the statements and transactions on it.
///
/// Once a call reports the attachment gone, the client may wait for ever on the
/// answer to any later request (a rollback, a free, the detach). So the link
/// closes the client's end of the connection at once: from then on every call
/// fails on the spot and releasing a handle frees it locally, without a round
/// trip. The first failure is kept and thrown again for later requests.
class Link
{
public:
    explicit Link(Firebird::IAttachment *attachment) : m_attachment(attachment) {}
    Link(const Link &) = delete;
    Link &operator=(const Link &) = delete;

    bool lost() const noexcept { return bool(m_error); }
    /// Marks the link lost when `status` holds a lost-connection failure.
    void noteFailure(Firebird::IStatus *status) noexcept;
    /// Throws the failure that lost the connection (only when lost()).
    [[noreturn]] void raiseLost() const;
    /// The attachment is released; nothing is left to cut.
    void detached() noexcept { m_attachment = nullptr; }

private:
    Firebird::IAttachment *m_attachment;
    std::exception_ptr m_error;
};

/// A status vector for one sequence of client calls, in the client's own wrapper
/// pattern: every call clears it first and checks it after. The throwing kind
/// (Status) raises fw::DatabaseError from the failed call itself; the quiet kind
/// (QuietStatus) only records the failure, for paths that must not throw.
template <bool Throwing>
class StatusWrapper : public Firebird::BaseStatusWrapper<StatusWrapper<Throwing>>
{
    using Base = Firebird::BaseStatusWrapper<StatusWrapper<Throwing>>;

public:
    /// A status for calls on the attachment behind `link` notes there when the connection is lost.
    explicit StatusWrapper(Link *link = nullptr) : Base(master()->getStatus()), m_link(link) {}
    ~StatusWrapper() { this->status->dispose(); }
    StatusWrapper(const StatusWrapper &) = delete;
    StatusWrapper &operator=(const StatusWrapper &) = delete;

    void watch(Link *link) noexcept { m_link = link; }

    /// Called by the client's interface wrappers after every call.
    static void checkException(StatusWrapper *s)
    {
        if (!s->failed())
            return;
        if (s->m_link)
            s->m_link->noteFailure(s->status);
        if constexpr (Throwing)
            fb::raise(s->status);
    }

    bool failed() const { return this->isDirty() && (this->status->getState() & Firebird::IStatus::STATE_ERRORS); }
    /// Throws the recorded failure; for a quiet status whose error is reported later.
    [[noreturn]] void raise() const { fb::raise(this->status); }

private:
    Link *m_link;
};

using Status = StatusWrapper<true>;
using QuietStatus = StatusWrapper<false>;

/// Ends `ref` with `end`, one of the calls that release the interface when they
/// succeed (close, free, detach, commit, rollback). The reference is given up
/// either way, so nothing leaks when the call fails; the failure stays in `status`.
template <typename T, typename End>
void endQuietly(Ref<T> &ref, QuietStatus &status, End end) noexcept
{
    if (!ref)
        return;
    end(ref.get(), &status);
    if (status.failed())
        ref.reset();
    else
        ref.release();
}

/// Owns a parameter-block builder (DPB, TPB) and disposes of it on every path.
class XpbBuilder
{
public:
    /// `kind` is Firebird::IXpbBuilder::DPB or TPB.
    XpbBuilder(Status &status, unsigned kind);
    ~XpbBuilder() { m_p->dispose(); }
    XpbBuilder(const XpbBuilder &) = delete;
    XpbBuilder &operator=(const XpbBuilder &) = delete;

    Firebird::IXpbBuilder *operator->() const { return m_p; }

private:
    Firebird::IXpbBuilder *m_p;
};

/// A parameter line name a block kind understands and the tag it becomes.
struct ParamName
{
    const char *name;
    unsigned char tag;
};

/// The parameter lines of one block kind: its names, the prefix a name may carry
/// ("isc_dpb_") and the message for a name it does not know ("…: %1").
struct ParamLineKind
{
    std::span<const ParamName> names;
    const char *prefix;
    const char *unknownMessage;
};

/// One parameter line read: the name it gives, the text after '=' (null when
/// there is none) and the whole line, trimmed, for messages.
struct ParamLine
{
    const ParamName *name;
    QString value;
    QString text;
};

/// Reads "name=value" lines: blank lines are skipped, names compare without
/// regard to case and blanks. Throws fw::Error with the kind's message for a
/// name it does not know.
std::vector<ParamLine> readParamLines(const QStringList &lines, const ParamLineKind &kind);

/// Latin-1 bytes of `text`; throws fw::Error naming `what` ("del parámetro X")
/// when a character cannot be written in ISO 8859-1.
QByteArray toLatin1(const QString &text, const QString &what);

} // namespace fw::fb
