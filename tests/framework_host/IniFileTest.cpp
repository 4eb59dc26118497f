#include "framework/host/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using fw::host::IniFile;

namespace {

QByteArray leer(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void escribir(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

ino_t inodo(const QString &path)
{
    struct stat st{};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

} // namespace

TEST(IniFile, SectionsAndKeysIgnoreCaseAndSurviveASaveAndLoad)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ListaDireccionesEMail.ini"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        // The host writes its files in its 8-bit code page: \xf1 is ñ.
        f.write("[CONFIGURACION]\nPUEDEGUARDAR=0\nnombrearchivo=/tmp/informe \xf1.pdf\n");
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

TEST(IniFile, WritingKeysKeepsEveryOtherByteOfTheHostsFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Rejillas.ini"));
    // CRLF endings, spacing around "=", comments, blank lines, two sections differing only in case,
    // a title in the host's code page, and no line ending after the last line.
    const QByteArray antes = "; host settings\r\n"
                             "[Ventana]\r\n"
                             "Alto = 300\r\n"
                             "Titulo=C\xf3" "digo\r\n"
                             "\r\n"
                             "[FormPruebaRejilla]\r\n"
                             "Columna1 =  CODIGO\t6\tC\xf3" "digo\tF\r\n"
                             "; kept\r\n"
                             "\r\n"
                             "[FORMPRUEBAREJILLA]\r\n"
                             "Columna1=OTRA\r\n"
                             "[Final]\r\n"
                             "x=1";
    escribir(path, antes);
    const ino_t original = inodo(path);

    IniFile ini(path);
    ASSERT_TRUE(ini.load());
    // The first of two sections differing only in case is the one read and written.
    EXPECT_EQ(ini.readString(QStringLiteral("formpruebarejilla"), QStringLiteral("COLUMNA1")),
              QStringLiteral("CODIGO\t6\tCódigo\tF"));
    EXPECT_EQ(ini.readString(QStringLiteral("Ventana"), QStringLiteral("Titulo")), QStringLiteral("Código"));
    EXPECT_EQ(ini.readInteger(QStringLiteral("VENTANA"), QStringLiteral("alto")), 300);

    EXPECT_TRUE(ini.writeString(QStringLiteral("FormPruebaRejilla"), QStringLiteral("Columna1"),
                                QStringLiteral("CODIGO\t9\tCódigo €\tF")));
    EXPECT_TRUE(ini.writeString(QStringLiteral("FormPruebaRejilla"), QStringLiteral("Columna2"),
                                QStringLiteral("NOMBRE\t20\tNombre\tF")));
    EXPECT_TRUE(ini.writeInteger(QStringLiteral("Nueva"), QStringLiteral("Ancho"), 7));
    // A character the host's code page lacks is refused, and nothing changes.
    EXPECT_FALSE(ini.writeString(QStringLiteral("Ventana"), QStringLiteral("Titulo"), QStringLiteral("Ω")));
    EXPECT_FALSE(ini.writeString(QStringLiteral("Ventana"), QStringLiteral("Titulo"), QStringLiteral("a\r\nb=1")));
    ASSERT_TRUE(ini.save());

    // Only the written lines differ from what was read.
    const QByteArray cabeza = "; host settings\r\n"
                              "[Ventana]\r\n"
                              "Alto = 300\r\n"
                              "Titulo=C\xf3" "digo\r\n"
                              "\r\n"
                              "[FormPruebaRejilla]\r\n"
                              "Columna1 =  CODIGO\t9\tC\xf3" "digo \x80\tF\r\n";
    const QByteArray cola = "; kept\r\n"
                            "\r\n"
                            "[FORMPRUEBAREJILLA]\r\n"
                            "Columna1=OTRA\r\n"
                            "[Final]\r\n"
                            "x=1\r\n";
    EXPECT_EQ(leer(path), cabeza + "Columna2=NOMBRE\t20\tNombre\tF\r\n" + cola + "[Nueva]\r\nAncho=7\r\n");
    // Replaced by a file written beside it, never rewritten in place, and nothing left behind.
    EXPECT_NE(inodo(path), original);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("Rejillas.ini")});

    ini.removeKey(QStringLiteral("formpruebarejilla"), QStringLiteral("columna2"));
    ini.eraseSection(QStringLiteral("nueva"));
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(leer(path), cabeza + cola);
}

TEST(IniFile, EveryByteOfTheCodePageSurvivesAReadAndAWrite)
{
    QByteArray todos;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n')
            todos.append(char(b));
    QByteArray vuelta;
    ASSERT_TRUE(IniFile::encode(IniFile::decode(todos), vuelta));
    EXPECT_EQ(vuelta, todos);
    EXPECT_EQ(IniFile::decode("\x80\x93\xf1"), QStringLiteral("€“ñ"));
}

TEST(IniFile, WhatIsNotAReadableFileIsIgnoredAndNeverOverwritten)
{
    QTemporaryDir dir;
    const QString carpeta = dir.filePath(QStringLiteral("Carpeta.ini"));
    ASSERT_TRUE(QDir().mkpath(carpeta));
    const QString grande = dir.filePath(QStringLiteral("Grande.ini"));
    {
        // One line larger than any ini file of the host.
        QFile f(grande);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(IniFile::kMaxSize + 1));
    }
    for (const QString &path : {carpeta, grande, QStringLiteral("/dev/zero")}) {
        IniFile ini(path);
        EXPECT_FALSE(ini.load()) << path.toStdString();
        EXPECT_TRUE(ini.keys(QStringLiteral("Configuracion")).isEmpty());
        EXPECT_TRUE(ini.writeInteger(QStringLiteral("Configuracion"), QStringLiteral("PuedeGuardar"), 1));
        EXPECT_FALSE(ini.save()) << path.toStdString();
    }
    EXPECT_TRUE(QFileInfo(carpeta).isDir());
    EXPECT_EQ(QFileInfo(grande).size(), IniFile::kMaxSize + 1);
    EXPECT_FALSE(IniFile(carpeta).exists());

    // Without a load nothing is known of the file, so nothing is written over it.
    const QString existente = dir.filePath(QStringLiteral("Existente.ini"));
    escribir(existente, "[A]\r\nb=1\r\n");
    IniFile sinCargar(existente);
    EXPECT_FALSE(sinCargar.save());
    EXPECT_EQ(leer(existente), QByteArray("[A]\r\nb=1\r\n"));
}

TEST(IniFile, BlanksAroundNamesDoNotChangeWhichKeyIsMeant)
{
    IniFile ini(QStringLiteral("/no/such/folder/x.ini"));
    ini.loadData("[Rejilla]\r\n\tColumna1 = A\r\n");
    struct Caso
    {
        QString seccion, clave;
    };
    const Caso casos[] = {
        {QStringLiteral("Rejilla"), QStringLiteral("Columna1")},
        {QStringLiteral(" Rejilla\t"), QStringLiteral("\tcolumna1 ")},
        {QStringLiteral("rejilla"), QStringLiteral("  COLUMNA1")},
    };
    for (const Caso &c : casos) {
        EXPECT_TRUE(ini.hasKey(c.seccion, c.clave));
        EXPECT_EQ(ini.readString(c.seccion, c.clave), QStringLiteral("A"));
    }
    // Writing under a blank-padded name changes the existing line instead of adding a second one.
    ASSERT_TRUE(ini.writeString(QStringLiteral(" Rejilla "), QStringLiteral(" Columna1\t"), QStringLiteral("B")));
    ASSERT_TRUE(ini.writeString(QStringLiteral(" Nueva "), QStringLiteral(" K "), QStringLiteral("C")));
    ASSERT_TRUE(ini.writeString(QStringLiteral("Nueva"), QStringLiteral(" k"), QStringLiteral("D")));
    EXPECT_EQ(ini.data(), QByteArray("[Rejilla]\r\n\tColumna1 = B\r\n[Nueva]\r\nK=D\r\n"));
    EXPECT_EQ(ini.readString(QStringLiteral("  nueva"), QStringLiteral("K  ")), QStringLiteral("D"));
    ini.removeKey(QStringLiteral("Rejilla "), QStringLiteral(" Columna1"));
    EXPECT_FALSE(ini.hasKey(QStringLiteral("Rejilla"), QStringLiteral("Columna1")));
}
