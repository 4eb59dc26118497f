#pragma once
// Internal to the data access framework: the Firebird client's master
// interface, status handling and Latin-1 text conversion.
#include <firebird/Interface.h>

#include <QByteArray>
#include <QString>

namespace fw::fb {

Firebird::IMaster *master();
Firebird::IUtil *util();

/// A status vector for one call sequence; check() turns an error state into fw::DatabaseError.
class Status
{
public:
    Status();
    ~Status();
    Status(const Status &) = delete;
    Status &operator=(const Status &) = delete;

    Firebird::CheckStatusWrapper *get() { return &m_wrapper; }
    operator Firebird::CheckStatusWrapper *() { return &m_wrapper; }
    bool failed() const;
    /// Throws fw::DatabaseError with Firebird's formatted text when the last call failed.
    void check();
    void clear() { m_wrapper.init(); }

private:
    Firebird::IStatus *m_status;
    Firebird::CheckStatusWrapper m_wrapper;
};

/// Throws the error held in a status.
[[noreturn]] void raise(Firebird::IStatus *status);

/// Owns one reference-counted Firebird interface and releases it.
template <typename T>
class Ref
{
public:
    Ref() = default;
    explicit Ref(T *p) : m_p(p) {}
    ~Ref() { reset(); }
    Ref(Ref &&o) noexcept : m_p(o.m_p) { o.m_p = nullptr; }
    Ref &operator=(Ref &&o) noexcept
    {
        if (this != &o) {
            reset();
            m_p = o.m_p;
            o.m_p = nullptr;
        }
        return *this;
    }
    Ref(const Ref &) = delete;
    Ref &operator=(const Ref &) = delete;

    T *get() const { return m_p; }
    T *operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    /// Gives up ownership (after a call such as close() that released it).
    T *release() noexcept
    {
        T *p = m_p;
        m_p = nullptr;
        return p;
    }
    void reset(T *p = nullptr) noexcept
    {
        if (m_p)
            m_p->release();
        m_p = p;
    }

private:
    T *m_p = nullptr;
};

/// Owns a parameter-block builder (DPB, TPB) and disposes of it on every path.
struct XpbBuilder
{
    Firebird::IXpbBuilder *p = nullptr;
    XpbBuilder() = default;
    XpbBuilder(const XpbBuilder &) = delete;
    XpbBuilder &operator=(const XpbBuilder &) = delete;
    ~XpbBuilder()
    {
        if (p)
            p->dispose();
    }
};

/// Latin-1 bytes of `text`; throws fw::Error naming `what` ("del parámetro X")
/// when a character cannot be written in ISO 8859-1.
QByteArray toLatin1(const QString &text, const QString &what);

} // namespace fw::fb
