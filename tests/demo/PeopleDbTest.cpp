#include "platform/db/DBTables.h"
#include "platform/richtext/Rtf.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace vyn;

// The demonstration table made at build time holds people with varied rich text.
TEST(PeopleDb, HoldsPeopleWithVariedRichText)
{
    TTable t(nullptr);
    t.SetDatabaseName(QStringLiteral(VYN_DEMO_DIR));
    t.SetTableName(QStringLiteral("People.DB"));
    t.Open();
    EXPECT_GE(t.RecordCount(), 8);
    EXPECT_NE(dynamic_cast<TIntegerField*>(t.FieldByName(QStringLiteral("Id"))), nullptr);
    EXPECT_EQ(t.FieldByName(QStringLiteral("Name"))->Size(), 40);
    EXPECT_NE(dynamic_cast<TMemoField*>(t.FieldByName(QStringLiteral("Rich"))), nullptr);
    QSet<QString> fonts;
    bool bold = false, italic = false, underline = false, colour = false, centred = false,
         bullets = false, indents = false, nonLatin = false;
    for (t.First(); !t.Eof(); t.Next()) {
        const QByteArray rtf = t.FieldByName(QStringLiteral("Rich"))->AsBytes();
        ASSERT_TRUE(rtf.startsWith("{\\rtf"));
        const QString text = RtfPlainText(rtf);
        EXPECT_FALSE(text.trimmed().isEmpty())
            << t.FieldByName(QStringLiteral("Name"))->AsString().toStdString();
        for (QChar c : text)
            nonLatin |= c.unicode() > 0x24F;
        bold |= rtf.contains("\\b ");
        italic |= rtf.contains("\\i ");
        underline |= rtf.contains("\\ul");
        colour |= rtf.contains("\\cf1");
        centred |= rtf.contains("\\qc");
        bullets |= rtf.contains("\\pnlvlblt");
        indents |= rtf.contains("\\li");
        for (const char* f : {"Arial", "Times New Roman", "Courier New"})
            if (rtf.contains(f))
                fonts << QString::fromLatin1(f);
    }
    EXPECT_TRUE(bold && italic && underline && colour && centred && bullets && indents && nonLatin);
    EXPECT_EQ(fonts.size(), 3);
}
