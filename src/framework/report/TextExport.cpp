#include "framework/report/Exports.h"

#include <cmath>

namespace fw::report {

namespace {

// Width of one character of the text export, in millimetres of the page.
constexpr double kCellMm = 2.0;

QString singleLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(u'\n', u' ');
    text.replace(u'\r', u' ');
    text.replace(u'\t', u' ');
    return text;
}

int column(double mm) { return int(std::lround(mm / kCellMm)); }

QString rightTrimmed(const QString &s)
{
    int n = s.size();
    while (n > 0 && s[n - 1].isSpace())
        --n;
    return s.left(n);
}

} // namespace

void writeText(const Document &doc, const QString &fileName)
{
    // The leftmost text of the document starts at column 0.
    double minLeft = 1e9;
    for (const Page &page : doc.pages)
        for (const PageItem &item : page.items)
            if (const auto *t = std::get_if<TextItem>(&item))
                minLeft = std::min(minLeft, t->rect.left());
    const int offset = minLeft < 1e9 ? column(minLeft) : 0;

    QString out;
    for (size_t p = 0; p < doc.pages.size(); ++p) {
        if (p > 0)
            out += u'\f';
        for (const TextLine &line : textLines(doc.pages[p])) {
            QString text;
            for (const TextItem *t : line.items) {
                const QString s = singleLine(t->text);
                const int horizontal = t->alignment & Qt::AlignHorizontal_Mask;
                int start;
                if (horizontal & Qt::AlignRight)
                    start = column(t->rect.right()) - int(s.size());
                else if (horizontal & Qt::AlignHCenter)
                    start = column(t->rect.center().x()) - int(s.size()) / 2;
                else
                    start = column(t->rect.left());
                start -= offset;
                // Never overwrite what is already on the line: push right instead.
                const QString used = rightTrimmed(text);
                if (!used.isEmpty())
                    start = std::max(start, int(used.size()) + 1);
                start = std::max(start, 0);
                text = used;
                if (text.size() < start)
                    text += QString(start - text.size(), u' ');
                text += s;
            }
            out += rightTrimmed(text);
            out += u'\n';
        }
    }
    saveBytes(fileName, out.toUtf8());
}

void writeCsv(const Document &doc, const QString &fileName, QChar separator)
{
    // Fields by column, so every record of a report column lands in the same field.
    const TextColumns columns(doc);
    QString out;
    for (const Page &page : doc.pages) {
        for (const TextLine &line : textLines(page)) {
            QStringList fields(columns.count());
            for (const TextItem *t : line.items) {
                QString &field = fields[columns.columnOf(*t)];
                const QString s = singleLine(t->text).trimmed();
                field = field.isEmpty() ? s : field + u' ' + s;
            }
            for (int i = 0; i < fields.size(); ++i) {
                QString s = fields[i];
                if (s.contains(separator) || s.contains(u'"')) {
                    s.replace(QLatin1String("\""), QLatin1String("\"\""));
                    s = u'"' + s + u'"';
                }
                if (i > 0)
                    out += separator;
                out += s;
            }
            out += u'\n';
        }
    }
    saveBytes(fileName, out.toUtf8());
}

} // namespace fw::report
