#include "framework/host/HostString.h"
#include "host/HostStringBuilder.h"

#include <gtest/gtest.h>

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
