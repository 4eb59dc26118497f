#include "components/DataSetCursor.h"

#include "framework/db/MemoryDataSet.h"
#include "framework/report/ValueText.h"
#include "support/ReportFixture.h"

#include <gtest/gtest.h>

using namespace fw::report;
using namespace reporttest;

TEST(ReportOnDataSet, PrintsFieldsThroughTheirGetTextHandlerWithoutNotifyingWidgets)
{
    fw::MemoryDataSet data;
    data.addField(QStringLiteral("GrupoRiesgo"), fw::FieldType::Integer);
    data.addField(QStringLiteral("ClienteNombre"), fw::FieldType::String, 40);
    fw::Field &amount = data.addField(QStringLiteral("Excedente"), fw::FieldType::Float);
    amount.onGetText = [](fw::Field &f, QString &text, bool) {
        text = formatNumber(f.asFloat(), QStringLiteral("#,##0.00")) + QStringLiteral("  ");
    };
    data.open();
    const std::tuple<int, const char *, double> rows[] = {{1, "Uno", 1500}, {1, "Dos", -2.5}, {3, "Tres", 0}};
    for (const auto &[group, name, value] : rows) {
        data.append();
        data.fieldByName(QStringLiteral("GrupoRiesgo")).setValue(group);
        data.fieldByName(QStringLiteral("ClienteNombre")).setValue(QString::fromLatin1(name));
        amount.setValue(value);
        data.post();
    }

    DataSetCursor cursor(data);
    Report report;
    report.setCursor(&cursor);
    Band *groupHeader = report.addGroupHeader(QStringLiteral("GrupoRiesgo"), 6);
    new DataField(groupHeader, QStringLiteral("Grupo"), QStringLiteral("GrupoRiesgo"));
    Band *detail = report.addBand(BandKind::Detail, 5);
    auto *name = new DataField(detail, QStringLiteral("Nombre"), QStringLiteral("ClienteNombre"));
    name->setGeometry(0, 0, 40, 5);
    auto *value = new DataField(detail, QStringLiteral("Importe"), QStringLiteral("Excedente"));
    value->setGeometry(50, 0, 40, 5);
    int walkedWithControlsOn = 0;
    detail->setBeforePrint([&](Band &, bool &) { walkedWithControlsOn += !data.controlsDisabled(); });
    Band *footer = report.addGroupFooter(groupHeader, 5);
    auto *sum = new SumField(footer, QStringLiteral("Suma"), QStringLiteral("Excedente"));
    sum->setGeometry(50, 0, 40, 5);

    const auto doc = report.generate();
    EXPECT_EQ(texts(doc->pages[0]), (QStringList{"1", "Uno", "1.500,00  ", "Dos", "-2,50  ", "1.497,50", "3", "Tres",
                                                 "0,00  ", "0,00"}));
    EXPECT_EQ(walkedWithControlsOn, 0);
    EXPECT_FALSE(data.controlsDisabled());

    new DataField(detail, QStringLiteral("Falta"), QStringLiteral("NoExiste"));
    EXPECT_THROW(report.generate(), ReportError);
    EXPECT_FALSE(data.controlsDisabled()); // given back after a failed generation as well
}
