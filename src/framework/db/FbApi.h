#pragma once
// Internal to the data access framework: the Firebird client's master
// interface, status wrappers, parameter blocks and Latin-1 text conversion.
#include "framework/db/FbRef.h"

#include <firebird/Interface.h>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <span>
#include <vector>

namespace fw::fb {

Firebird::IMaster *master();
Firebird::IUtil *util();

/// Throws the error held in a status as fw::DatabaseError: Firebird's formatted
/// text, the gds codes, SQLSTATE and SQLCODE.
[[noreturn]] void raise(Firebird::IStatus *status);

/// A status vector for one sequence of client calls, in the client's own wrapper
/// pattern: every call clears it first and checks it after. The throwing kind
/// (Status) raises fw::DatabaseError from the failed call itself; the quiet kind
/// (QuietStatus) only records the failure, for paths that must not throw.
template <bool Throwing>
class StatusWrapper : public Firebird::BaseStatusWrapper<StatusWrapper<Throwing>>
{
    using Base = Firebird::BaseStatusWrapper<StatusWrapper<Throwing>>;

public:
    StatusWrapper() : Base(master()->getStatus()) {}
    ~StatusWrapper() { this->status->dispose(); }
    StatusWrapper(const StatusWrapper &) = delete;
    StatusWrapper &operator=(const StatusWrapper &) = delete;

    /// Called by the client's interface wrappers after every call.
    static void checkException(StatusWrapper *s)
    {
        if constexpr (Throwing) {
            if (s->failed())
                fb::raise(s->status);
        }
    }

    bool failed() const { return this->isDirty() && (this->status->getState() & Firebird::IStatus::STATE_ERRORS); }
    /// Throws the recorded failure; for a quiet status whose error is reported later.
    [[noreturn]] void raise() const { fb::raise(this->status); }
};

using Status = StatusWrapper<true>;
using QuietStatus = StatusWrapper<false>;

/// Whether a failed call means the attachment is gone: killed, shut down or cut off.
bool connectionLost(Firebird::IStatus *status) noexcept;

/// Attachments known to be gone. Nothing more is asked of the server on them (no
/// rollback, free or detach): a request on a killed attachment can wait for an
/// answer that never comes. Their handles are only let go on this side.
void noteLost(Firebird::IAttachment *attachment) noexcept;
bool isLost(Firebird::IAttachment *attachment) noexcept;
void forgetLost(Firebird::IAttachment *attachment) noexcept;
/// Throws the error of a call refused because its attachment is gone.
[[noreturn]] void raiseLost();

/// The throwing status of calls made on one attachment: a failure that means the
/// attachment is gone marks it so before it is thrown.
class AttachmentStatus : public Status
{
public:
    explicit AttachmentStatus(Firebird::IAttachment *const *attachment) : m_attachment(attachment) {}

    static void checkException(AttachmentStatus *s)
    {
        if (!s->failed())
            return;
        if (s->m_attachment && *s->m_attachment && connectionLost(s->status))
            noteLost(*s->m_attachment);
        fb::raise(s->status);
    }

private:
    Firebird::IAttachment *const *m_attachment;
};

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
