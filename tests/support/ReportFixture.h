#pragma once
#include "framework/report/Document.h"
#include "framework/report/MemoryCursor.h"
#include "framework/report/Report.h"

#include <QLocale>
#include <QStringList>

#include <memory>

namespace reporttest {

using namespace fw::report;

// Amounts and dates are checked as a Spanish user sees them, whatever the machine's settings.
inline const bool kSpanishLocale = [] {
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    return true;
}();

/// A listing grouped by "Grupo": page header and footer, group header and footer
/// with a running sum, detail and summary. A4 portrait, 10 mm margins, so the body
/// of a page runs from 30 mm (under the 20 mm header) to 277 mm (over the 10 mm footer).
struct Listing
{
    MemoryCursor cursor;
    Report report;
    Band *header = nullptr;
    Band *footer = nullptr;
    Band *groupHeader = nullptr;
    Band *groupFooter = nullptr;
    Band *detail = nullptr;
    Band *summary = nullptr;
    SumField *groupSum = nullptr;
    SumField *totalSum = nullptr;

    static constexpr double kBodyTop = 30;
    static constexpr double kBodyLimit = 277;

    explicit Listing(bool groups = true)
    {
        cursor.addField(QStringLiteral("Grupo"), FieldKind::Integer);
        cursor.addField(QStringLiteral("Codigo"), FieldKind::Text);
        cursor.addField(QStringLiteral("Nombre"), FieldKind::Text);
        cursor.addField(QStringLiteral("Importe"), FieldKind::Float);
        report.setCursor(&cursor);
        report.setTitle(QStringLiteral("Listado de prueba"));
        report.setPrintDate(QDateTime(QDate(2024, 3, 31), QTime(9, 30)));

        header = report.addBand(BandKind::PageHeader, 20, QStringLiteral("Cabecera"));
        new Label(header, QStringLiteral("LabelTitulo"), QStringLiteral("LISTADO"));
        header->elements().back()->setGeometry(0, 0, 100, 6);
        auto *date = new PrintDate(header, QStringLiteral("Fecha"), QStringLiteral("Fecha : "));
        date->setGeometry(140, 0, 50, 5);
        date->setAlignment(Qt::AlignRight);

        footer = report.addBand(BandKind::PageFooter, 10, QStringLiteral("Pie"));
        auto *page = new PageNumber(footer, QStringLiteral("Pagina"), QStringLiteral("Pag. "));
        page->setGeometry(150, 2, 40, 5);
        page->setAlignment(Qt::AlignRight);

        if (groups) {
            groupHeader = report.addGroupHeader(QStringLiteral("Grupo"), 8, QStringLiteral("CabeceraGrupo"));
            auto *l = new Label(groupHeader, QStringLiteral("LabelGrupo"), QStringLiteral("Grupo de Riesgo"));
            l->setGeometry(0, 1, 40, 5);
            auto *g = new DataField(groupHeader, QStringLiteral("GrupoCabecera"), QStringLiteral("Grupo"));
            g->setGeometry(42, 1, 10, 5);
            groupFooter = report.addGroupFooter(groupHeader, 6, QStringLiteral("PieGrupo"));
            auto *t = new Label(groupFooter, QStringLiteral("LabelTotalGrupo"), QStringLiteral("Totales Grupo"));
            t->setGeometry(0, 0, 30, 5);
            auto *gf = new DataField(groupFooter, QStringLiteral("GrupoPie"), QStringLiteral("Grupo"));
            gf->setGeometry(32, 0, 10, 5);
            groupSum = new SumField(groupFooter, QStringLiteral("SumaGrupo"), QStringLiteral("Importe"));
            groupSum->setGeometry(150, 0, 40, 5);
            groupSum->setAlignment(Qt::AlignRight);
        }

        detail = report.addBand(BandKind::Detail, 5, QStringLiteral("Detalle"));
        auto *code = new DataField(detail, QStringLiteral("Codigo"), QStringLiteral("Codigo"));
        code->setGeometry(0, 0, 20, 5);
        auto *name = new DataField(detail, QStringLiteral("Nombre"), QStringLiteral("Nombre"));
        name->setGeometry(22, 0, 80, 5);
        auto *amount = new DataField(detail, QStringLiteral("Importe"), QStringLiteral("Importe"));
        amount->setGeometry(150, 0, 40, 5);
        amount->setAlignment(Qt::AlignRight);
        amount->setMask(QStringLiteral("#,##0.00"));

        summary = report.addBand(BandKind::Summary, 10, QStringLiteral("Resumen"));
        auto *s = new Label(summary, QStringLiteral("LabelTotales"), QStringLiteral("Totales ....."));
        s->setGeometry(0, 2, 40, 5);
        totalSum = new SumField(summary, QStringLiteral("SumaTotal"), QStringLiteral("Importe"));
        totalSum->setResetAfterPrint(false);
        totalSum->setGeometry(150, 2, 40, 5);
        totalSum->setAlignment(Qt::AlignRight);
    }

    void addRows(int group, int count, double amount, const QString &codePrefix = QStringLiteral("C"))
    {
        for (int i = 0; i < count; ++i)
            cursor.appendRow({group, QStringLiteral("%1%2-%3").arg(codePrefix).arg(group).arg(i + 1),
                              QStringLiteral("Cliente %1").arg(i + 1), amount});
    }
};

inline std::vector<const TextItem *> textItems(const Page &page)
{
    std::vector<const TextItem *> out;
    for (const PageItem &item : page.items)
        if (const auto *t = std::get_if<TextItem>(&item))
            out.push_back(t);
    return out;
}

inline QStringList texts(const Page &page)
{
    QStringList out;
    for (const TextItem *t : textItems(page))
        out << t->text;
    return out;
}

inline const TextItem *findText(const Page &page, const QString &text)
{
    for (const TextItem *t : textItems(page))
        if (t->text == text)
            return t;
    return nullptr;
}

inline int countStartingWith(const Page &page, const QString &prefix)
{
    int n = 0;
    for (const TextItem *t : textItems(page))
        n += t->text.startsWith(prefix);
    return n;
}

} // namespace reporttest
