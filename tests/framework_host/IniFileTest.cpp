#include "framework/host/IniFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using fw::host::IniFile;

TEST(IniFile, SectionsAndKeysIgnoreCaseAndSurviveASaveAndLoad)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ListaDireccionesEMail.ini"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[CONFIGURACION]\nPUEDEGUARDAR=0\nnombrearchivo=/tmp/informe ñ.pdf\n");
    }
    IniFile ini(path);
    ASSERT_TRUE(ini.load());
    EXPECT_FALSE(ini.readBool(QStringLiteral("Configuracion"), QStringLiteral("PuedeGuardar"), true));
    EXPECT_EQ(ini.readString(QStringLiteral("configuracion"), QStringLiteral("NombreArchivo")),
              QStringLiteral("/tmp/informe ñ.pdf"));
    EXPECT_TRUE(ini.readBool(QStringLiteral("Configuracion"), QStringLiteral("GenerarPDF"), true));
    EXPECT_EQ(ini.readInteger(QStringLiteral("Configuracion"), QStringLiteral("IndiceFiltroQRDefecto"), 2), 2);

    ini.writeInteger(QStringLiteral("Configuracion"), QStringLiteral("IndiceFiltroQRDefecto"), 7);
    ASSERT_TRUE(ini.save());
    IniFile again(path);
    ASSERT_TRUE(again.load());
    EXPECT_EQ(again.readInteger(QStringLiteral("CONFIGURACION"), QStringLiteral("indicefiltroqrdefecto"), 2), 7);
    EXPECT_EQ(again.keys(QStringLiteral("configuracion")).size(), 3);
}

TEST(IniFile, MissingFileLoadsEmpty)
{
    IniFile ini(QStringLiteral("/no/such/folder/x.ini"));
    EXPECT_FALSE(ini.exists());
    EXPECT_TRUE(ini.load());
    EXPECT_TRUE(ini.keys(QStringLiteral("Configuracion")).isEmpty());
}
