// The comma-delimited reader and writer: the field rules, and text written then read back.
#include "exchange/delimited.h"
#include "support/temp_collection.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace tunarium;

TEST(DelimitedReader, FieldsOfALine) {
    struct Case {
        const char* line;
        QStringList fields;
    };
    const Case cases[] = {
        {"a,b", {"a", "b"}},
        {"a,b,,", {"a", "b", ""}},                     // an empty field between commas counts
        {"a,b,   ", {"a", "b"}},                       // blank trailing space makes no field
        {"\"x, y\",z", {"x, y", "z"}},                 // a comma inside quotes
        {"\"say \"\"hi\"\"\",2", {"say \"hi\"", "2"}}, // doubled quotes
        {"\"ab\"xy,z", {"ab", "y", "z"}},              // one character after the closing quote skipped
        {"\"ab\"x,z", {"ab", "", "z"}},
        {"\"unterminated, rest", {"unterminated, rest"}},
        {"  a  , b", {"  a  ", " b"}}, // blanks are kept
        {"", {}},
        {"   ", {}},
        {",", {""}},
        {"1998,\"Title\"", {"1998", "Title"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(delimitedFields(QString::fromUtf8(c.line)), c.fields) << c.line;
    }
    QList<DelimitedField> kinds;
    delimitedFields("1998,\"Title\"", &kinds);
    EXPECT_EQ(kinds, QList<DelimitedField>({DelimitedField::Unquoted, DelimitedField::Quoted}));
}

TEST(DelimitedReader, LengthsAreCut) {
    const QString longField = QString(5000, 'x');
    EXPECT_EQ(delimitedFields(longField).first().size(), kDelimitedFieldLength);
    EXPECT_EQ(delimitedFields("\"" + longField + "\"").first().size(), kDelimitedFieldLength);
    DelimitedLine line(QString(20000, 'y'));
    EXPECT_EQ(line.text().size(), kDelimitedLineLength);

    // A character beyond the first 65536 takes two UTF-16 units: a cut never keeps only the first.
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    const QString field = QString(kDelimitedFieldLength - 1, 'x');
    EXPECT_EQ(delimitedFields(field + emoji).first(), field);
    EXPECT_EQ(delimitedFields("\"" + field + emoji + "\"").first(), field);
    EXPECT_EQ(delimitedFields(QString(kDelimitedFieldLength - 2, 'x') + emoji).first().right(2), emoji);
    const QString text = QString(kDelimitedLineLength - 1, 'y');
    EXPECT_EQ(DelimitedLine(text + emoji).text(), text);
}

TEST(DelimitedWriter, WhatIsWrittenReadsBackTheSame) {
    const QString texts[] = {"plain",
                             "with, comma",
                             "say \"hi\"",
                             "\"\"",
                             "Björk – Jóga",
                             "trailing   ",
                             "'; DROP TABLE \"Tunarium\"; --",
                             ""};
    DelimitedLineBuilder builder;
    builder.begin();
    for (const QString& t : texts) {
        builder.append(t, "@s80");
    }
    builder.append(qint64(1998), "@n4");
    builder.append(qint64(22501), "@t4");
    ASSERT_TRUE(builder.fits());
    QList<DelimitedField> kinds;
    const QStringList back = delimitedFields(builder.line(), &kinds);
    ASSERT_EQ(back.size(), static_cast<int>(std::size(texts)) + 2);
    for (size_t i = 0; i < std::size(texts); ++i) {
        EXPECT_EQ(back[static_cast<int>(i)], texts[i].trimmed() == texts[i] ? texts[i] : QString("trailing"));
        EXPECT_EQ(kinds[static_cast<int>(i)], DelimitedField::Quoted);
    }
    EXPECT_EQ(back[std::size(texts)], "1998");
    EXPECT_EQ(kinds[std::size(texts)], DelimitedField::Unquoted);
    EXPECT_EQ(back.last(), "0:03:45");

    builder.begin();
    builder.appendHeaderName("TUN:Artist");
    builder.appendHeaderName("Field[1,2]");
    EXPECT_EQ(builder.line(), "\"TUN:Artist\",\"Field_1_2\""); // "]" became a blank, dropped at the end
}

TEST(DelimitedFiles, LinesRoundTripThroughAFile) {
    test::TempCollection dir;
    const QString path = dir.path("songs.csv");
    DelimitedWriter writer;
    ASSERT_TRUE(writer.create(path));
    ASSERT_TRUE(writer.writeLine("\"TUN:Artist\",\"TUN:Title\""));
    ASSERT_TRUE(writer.writeLine("\"Björk\",\"Jóga\""));
    ASSERT_TRUE(writer.finish());
    DelimitedReader reader;
    ASSERT_TRUE(reader.open(path));
    QString line;
    ASSERT_TRUE(reader.readLine(line));
    EXPECT_EQ(delimitedFields(line), QStringList({"TUN:Artist", "TUN:Title"}));
    ASSERT_TRUE(reader.readLine(line));
    EXPECT_EQ(delimitedFields(line), QStringList({"Björk", "Jóga"}));
    EXPECT_FALSE(reader.readLine(line));
    ASSERT_TRUE(reader.rewind());
    ASSERT_TRUE(reader.readLine(line));
    EXPECT_TRUE(line.startsWith("\"TUN:Artist\""));

    // A Latin-1 file with a byte-order-free first line and Windows line endings.
    QFile latin(dir.path("latin.csv"));
    ASSERT_TRUE(latin.open(QIODevice::WriteOnly));
    latin.write("\"Bj\xf6rk\",1993\r\n");
    latin.close();
    DelimitedReader old;
    ASSERT_TRUE(old.open(dir.path("latin.csv")));
    ASSERT_TRUE(old.readLine(line));
    EXPECT_EQ(delimitedFields(line), QStringList({"Björk", "1993"}));
}

TEST(DelimitedFiles, AQuotedTextGoesOnOverLineEndsOnlyWhenItClosesCleanly) {
    test::TempCollection dir;
    QFile file(dir.path("multi.csv"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\"a\",\"first\nsecond\r\nthird\",1\r\n" // a text of three lines
               "\"unterminated,2\r\n"                   // no closing quote: this line alone
               "\"next\",3\r\n"
               "\"open\r\n\"x\"y,4\r\n" // the quote that would close it is followed by y
               "5\r\n");
    file.close();
    DelimitedReader reader;
    ASSERT_TRUE(reader.open(dir.path("multi.csv")));
    QString line;
    QList<QStringList> records;
    while (reader.readLine(line)) {
        records << delimitedFields(line);
    }
    const QList<QStringList> expected = {
        {"a", "first\nsecond\r\nthird", "1"},
        {"unterminated,2"},
        {"next", "3"},
        {"open"},
        {"x", "", "4"},
        {"5"},
    };
    EXPECT_EQ(records, expected);
    EXPECT_EQ(reader.position(), reader.size());

    // A quoted field left open to the end of the file stays on its own line.
    QFile tail(dir.path("tail.csv"));
    ASSERT_TRUE(tail.open(QIODevice::WriteOnly));
    tail.write("\"never closed,1\n2,3\n");
    tail.close();
    DelimitedReader second;
    ASSERT_TRUE(second.open(dir.path("tail.csv")));
    ASSERT_TRUE(second.readLine(line));
    EXPECT_EQ(line, "\"never closed,1");
    ASSERT_TRUE(second.readLine(line));
    EXPECT_EQ(line, "2,3");
}
