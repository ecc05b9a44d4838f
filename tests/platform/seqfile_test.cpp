// The sequential settings-file format, beyond what the preferences and the
// backup tests already write and read: bare LF line ends, blanks around a
// number, a value that is no number, and the file dialogs' filters.
#include "platform/Dialogs.h"
#include "platform/SeqFile.h"

#include <gtest/gtest.h>

TEST(SeqFile, ReadsValuesBackInOrder)
{
    SeqWriter w;
    w.text("K1ABC").number(5).number(-0.5).number(2.25f).endLine();
    w.textLine({"a,b", ""});
    EXPECT_EQ(w.data(), "\"K1ABC\",5,-0.5,2.25\r\n\"a,b\",\"\"\r\n");

    SeqReader r(w.data() + " 7.5 ,x\n");
    EXPECT_EQ(r.nextText(), "K1ABC");
    EXPECT_EQ(r.nextNumber(), 5.0);
    EXPECT_EQ(r.nextNumber(), -0.5);
    EXPECT_EQ(r.nextNumber(), 2.25);
    EXPECT_EQ(r.nextText(), "a,b");
    EXPECT_EQ(r.nextText(), "");
    EXPECT_EQ(r.nextNumber(), 7.5);
    EXPECT_EQ(r.nextNumber(), std::nullopt); // "x" is no number
    EXPECT_TRUE(r.atEnd());
    EXPECT_EQ(r.nextText(), std::nullopt);

    EXPECT_EQ(SeqReader::lines("\"a\",\"b\"\r\n\r\n\"c\""), (QList<QStringList>{{"a", "b"}, {}, {"c"}}));
}

TEST(FileFilter, PipeFiltersBecomeQtFiltersThatIgnoreCase)
{
    EXPECT_EQ(qtFileFilter("(*.MDB)|*.MDB|(All Files)|*.*"), "(*.MDB) (*.MDB *.mdb);;(All Files) (*)");
    EXPECT_EQ(qtFileFilter("Logs|*.DAT; *.mdb"), "Logs (*.DAT *.dat *.mdb *.MDB)");
}

TEST(SeqFile, EveryTextComesBackAsWritten)
{
    // A text without a double quote is written byte for byte as before; a
    // quote inside a text is doubled and read back as one.
    struct Case {
        QString text;
        QByteArray written;
    };
    const Case cases[] = {
        {"K1ABC", "\"K1ABC\""},
        {"", "\"\""},
        {"a,b", "\"a,b\""},
        {"Grüße", "\"Grüße\""},
        {"K1\"AB", "\"K1\"\"AB\""},
        {"\"", "\"\"\"\""},
        {"\"\"", "\"\"\"\"\"\""},
        {"FN\",\"42", "\"FN\"\",\"\"42\""},
        {"end\"", "\"end\"\"\""},
    };
    for (const Case &c : cases) {
        SeqWriter w;
        w.text(c.text).text("next").endLine();
        EXPECT_EQ(w.data(), c.written + ",\"next\"\r\n") << c.text.toStdString();
        EXPECT_EQ(SeqReader::lines(w.data()), (QList<QStringList>{{c.text, "next"}})) << c.text.toStdString();
    }
}
