#pragma once
// Internal to the data access framework: ownership of one Firebird interface.
// Kept apart from the client's headers so a public header can hold a Ref to a
// forward-declared interface; the owner's destructor, defined where the
// interface is complete, releases it.

namespace fw::fb {

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

} // namespace fw::fb
