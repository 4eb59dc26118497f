#pragma once
#include <QString>
#include <QStringList>

namespace fw::ui {

/// Where grids keep their column layouts: one section of an ini file per grid,
/// one entry per column definition line ("Columna1", "Columna2", ...). The file
/// is the host's: only the grid's section changes, every other byte is kept,
/// and a file that cannot be read is ignored and never overwritten.
class GridLayoutStore
{
public:
    GridLayoutStore(QString file, QString section);

    /// Stored widths outside 1 to 1000 characters are damage, not a user's choice.
    static bool widthAccepted(int chars) { return chars >= 1 && chars <= 1000; }

    /// The stored lines in their order; none when the file or the section
    /// cannot be read or does not exist.
    QStringList lines() const;
    /// Makes the section hold `lines`, changing its entries in place. A file
    /// that cannot be read is left alone. Throws fw::Error, leaving the file as
    /// it was, when it cannot be written or a line cannot be written in the
    /// host's code page.
    void write(const QStringList &lines) const;

private:
    QString m_file;
    QString m_section;
};

} // namespace fw::ui
