#pragma once
#include <QString>
#include <QStringList>

namespace fw::ui {

/// Where grids keep their column layouts: one section of an ini file per grid,
/// one entry per column definition line ("Columna1", "Columna2", ...). The file
/// is the host's: every other byte of it is kept.
class GridLayoutStore
{
public:
    GridLayoutStore(QString file, QString section);

    /// The stored lines in their order; none when the file or the section
    /// cannot be read or does not exist.
    QStringList lines() const;
    /// Replaces the section with `lines`. Throws fw::Error when the file
    /// cannot be read or written.
    void write(const QStringList &lines) const;

private:
    QString m_file;
    QString m_section;
};

} // namespace fw::ui
