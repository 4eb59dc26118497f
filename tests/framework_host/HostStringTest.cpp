#include "framework/host/HostString.h"
#include "host/HostStringBuilder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using fw::host::fromHostString;

TEST(HostString, NullPointerIsTheEmptyString)
{
    EXPECT_TRUE(fromHostString(nullptr).isEmpty());
}

TEST(HostString, ReadsExactlyTheLengthInTheHeader)
{
    for (const QString &text : {QStringLiteral("localhost:/datos/norvik.fdb"), QStringLiteral("x"),
                                QStringLiteral("Muñoz Ñ ª º ç ü €"), QStringLiteral("Привет 日本語 😀")}) {
        norvik::HostString s(text);
        EXPECT_EQ(fromHostString(s.get()), text);
        EXPECT_EQ(fromHostString(s.get()).size(), text.size());
    }
}

TEST(HostString, CopiesByteOrderMarksAndUnpairedSurrogatesUnchanged)
{
    // Code units a UTF-16 decoder treats specially: a leading mark, a swapped
    // mark (after which a decoder swaps every unit), lone surrogates.
    const std::vector<std::u16string> cases = {
        u"\uFEFFabc", u"\uFFFEabc", u"a\uFFFEb\uFEFF", u"\xD800x", u"x\xDC00", u"\uFEFF",
    };
    for (const std::u16string &units : cases) {
        const QString text(reinterpret_cast<const QChar *>(units.data()), qsizetype(units.size()));
        norvik::HostString s(text);
        const QString read = fromHostString(s.get());
        ASSERT_EQ(read.size(), qsizetype(units.size()));
        for (size_t i = 0; i < units.size(); ++i)
            EXPECT_EQ(read.at(qsizetype(i)).unicode(), units[i]) << "unit " << i;
    }
}

TEST(HostString, IgnoresCodeUnitsPastTheLength)
{
    // The reader must rely on the length, not on a terminator.
    norvik::HostString s(QStringLiteral("SYSDBAxyz"), 6);
    EXPECT_EQ(fromHostString(s.get()), QStringLiteral("SYSDBA"));
}

TEST(HostString, LeavesTheReferenceCountAlone)
{
    norvik::HostString s(QStringLiteral("abc"));
    const int before = s.refCount();
    (void)fromHostString(s.get());
    EXPECT_EQ(s.refCount(), before);
}
