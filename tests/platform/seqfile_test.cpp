// The sequential settings-file format.
#include "platform/SeqFile.h"

#include <gtest/gtest.h>

TEST(SeqFile, WritesQuotedTextAndBareNumbersWithCrLf)
{
    SeqWriter w;
    w.text(QStringLiteral("K1ABC")).number(5).number(-0.5).number(2.25f).endLine();
    w.textLine({QStringLiteral("a,b"), QString()});
    EXPECT_EQ(w.data(), QByteArray("\"K1ABC\",5,-0.5,2.25\r\n\"a,b\",\"\"\r\n"));
}

TEST(SeqFile, ReadsValuesBackInOrder)
{
    SeqReader r(QByteArray("\"K1ABC\",5\r\n\"a,b\",\"\"\n 7.5 ,x\r\n"));
    EXPECT_EQ(r.nextText(), QStringLiteral("K1ABC"));
    EXPECT_EQ(r.nextNumber(), 5.0);
    EXPECT_EQ(r.nextText(), QStringLiteral("a,b"));
    EXPECT_EQ(r.nextText(), QString());
    EXPECT_EQ(r.nextNumber(), 7.5);
    EXPECT_EQ(r.nextNumber(), std::nullopt); // "x" is no number
    EXPECT_TRUE(r.atEnd());
    EXPECT_EQ(r.nextText(), std::nullopt);

    const auto lines = SeqReader::lines("\"a\",\"b\"\r\n\r\n\"c\"");
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], QStringList({QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_TRUE(lines[1].isEmpty());
    EXPECT_EQ(lines[2], QStringList({QStringLiteral("c")}));
}

#include "platform/Dialogs.h"

TEST(FileFilter, PipeFiltersBecomeQtFiltersThatIgnoreCase)
{
    EXPECT_EQ(qtFileFilter(QStringLiteral("(*.MDB)|*.MDB|(All Files)|*.*")),
              QStringLiteral("(*.MDB) (*.MDB *.mdb);;(All Files) (*)"));
    EXPECT_EQ(qtFileFilter(QStringLiteral("Logs|*.DAT; *.mdb")),
              QStringLiteral("Logs (*.DAT *.dat *.mdb *.MDB)"));
}
