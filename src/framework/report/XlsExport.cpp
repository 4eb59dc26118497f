#include "framework/report/Exports.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>

#include <xlsxwriter.h>

#include <clocale>
#include <locale.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

namespace fw::report {

namespace {

/// Reads a number written with the locale's separators ("1.500,00", "-3", "12,5").
/// Codes with a leading zero ("0012") stay texts.
class NumberReader
{
public:
    explicit NumberReader(const QLocale &locale)
        : m_group(locale.groupSeparator()), m_decimal(locale.decimalPoint())
    {
        const QString g = QRegularExpression::escape(m_group);
        const QString d = QRegularExpression::escape(m_decimal);
        m_pattern = QRegularExpression(QStringLiteral("^-?(?:[1-9]\\d{0,2}(?:%1\\d{3})+|[1-9]\\d*|0)(?:%2(\\d+))?$")
                                           .arg(g, d));
    }

    /// True with the value and its number format when the text is a number.
    bool read(const QString &text, double &value, QByteArray &format) const
    {
        const QRegularExpressionMatch m = m_pattern.match(text);
        if (!m.hasMatch())
            return false;
        QString plain = text;
        plain.remove(m_group);
        plain.replace(m_decimal, QStringLiteral("."));
        bool ok = false;
        value = plain.toDouble(&ok);
        if (!ok)
            return false;
        const int decimals = int(m.captured(1).size());
        format = text.contains(m_group) || decimals > 0 ? "#,##0" : "0";
        if (decimals > 0)
            format += '.' + QByteArray(decimals, '0');
        return true;
    }

private:
    QString m_group;
    QString m_decimal;
    QRegularExpression m_pattern;
};

/// The workbook writer formats numbers with the C library, which follows the
/// process's regional settings: under a Spanish LC_NUMERIC it would write 2,5 into
/// the XML and the cell would be lost. The C locale holds for this thread while
/// the workbook is written.
class CNumericLocale
{
public:
    CNumericLocale() : m_c(newlocale(LC_NUMERIC_MASK, "C", locale_t(0)))
    {
        if (m_c)
            m_previous = uselocale(m_c);
    }
    ~CNumericLocale()
    {
        if (m_c) {
            uselocale(m_previous);
            freelocale(m_c);
        }
    }
    CNumericLocale(const CNumericLocale &) = delete;
    CNumericLocale &operator=(const CNumericLocale &) = delete;

private:
    locale_t m_c;
    locale_t m_previous = locale_t(0);
};

} // namespace

void writeXls(const Document &doc, const QString &fileName)
{
    const TextColumns columns(doc);

    const CNumericLocale cNumbers;
    const QByteArray path = QFile::encodeName(fileName);
    lxw_workbook *book = workbook_new(path.constData());
    if (!book)
        throw ReportError(QStringLiteral("No se puede crear el fichero %1").arg(fileName));
    lxw_worksheet *sheet = workbook_add_worksheet(book, "Informe");
    if (doc.orientation == QPageLayout::Landscape)
        worksheet_set_landscape(sheet);
    if (doc.pageSize.id() == QPageSize::A4)
        worksheet_set_paper(sheet, 9);

    std::map<std::tuple<int, QRgb, int, QByteArray>, lxw_format *> formats;
    auto formatFor = [&](const TextItem &t, const QByteArray &numberFormat) {
        const int h = t.alignment & Qt::AlignHorizontal_Mask;
        const auto key = std::make_tuple(t.font, t.color | 0xff000000u, h, numberFormat);
        auto it = formats.find(key);
        if (it != formats.end())
            return it->second;
        lxw_format *f = workbook_add_format(book);
        const QFont &font = doc.fonts[size_t(t.font)];
        if (font.bold())
            format_set_bold(f);
        if (font.italic())
            format_set_italic(f);
        if ((t.color & 0xffffff) != 0)
            format_set_font_color(f, lxw_color_t(t.color & 0xffffff));
        if (h & Qt::AlignRight)
            format_set_align(f, LXW_ALIGN_RIGHT);
        else if (h & Qt::AlignHCenter)
            format_set_align(f, LXW_ALIGN_CENTER);
        if (!numberFormat.isEmpty())
            format_set_num_format(f, numberFormat.constData());
        formats.emplace(key, f);
        return f;
    };

    const NumberReader numbers{QLocale()};
    std::vector<int> widths(size_t(columns.count()), 8);
    lxw_row_t row = 0;
    for (const Page &page : doc.pages) {
        for (const TextLine &line : textLines(page)) {
            std::map<int, QString> taken;
            for (const TextItem *t : line.items) {
                QString text = t->text.trimmed();
                text.replace(u'\n', u' ');
                const int col = columns.columnOf(*t);
                // Two texts in one column on one line: the second joins the first.
                bool joined = false;
                if (auto it = taken.find(col); it != taken.end()) {
                    it->second += u' ' + text;
                    text = it->second;
                    joined = true;
                } else {
                    taken.emplace(col, text);
                }
                double value = 0;
                QByteArray numberFormat;
                const bool isNumber = !joined && numbers.read(text, value, numberFormat);
                lxw_format *f = formatFor(*t, isNumber ? numberFormat : QByteArray());
                if (isNumber)
                    worksheet_write_number(sheet, row, lxw_col_t(col), value, f);
                else
                    worksheet_write_string(sheet, row, lxw_col_t(col), text.toUtf8().constData(), f);
                widths[size_t(col)] = std::max(widths[size_t(col)], std::min(int(text.size()) + 2, 60));
            }
            ++row;
        }
    }
    for (size_t c = 0; c < widths.size(); ++c)
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), widths[c], nullptr);

    const lxw_error error = workbook_close(book);
    if (error != LXW_NO_ERROR)
        throw ReportError(QStringLiteral("No se pudo escribir el fichero %1: %2")
                              .arg(fileName, QString::fromUtf8(lxw_strerror(error))));
}

} // namespace fw::report
