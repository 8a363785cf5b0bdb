// INI files: reading with defaults, odd keys, duplicates and line styles; writing that keeps the
// rest of the file; atomic replacement; the shared cache following changes on disk.
#include "data/ini_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace tunarium {
namespace {

class IniFileTest : public ::testing::Test {
protected:
    QString path(const QString& name = QStringLiteral("test.ini")) const { return m_dir.filePath(name); }

    void put(const QByteArray& bytes, const QString& name = QStringLiteral("test.ini")) const {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray content(const QString& name = QStringLiteral("test.ini")) const {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir m_dir;
};

struct ReadCase {
    const char* what;
    QByteArray file;
    const char* section;
    const char* key;
    const char* expected;
};

TEST_F(IniFileTest, ReadsValuesAsPrivateProfilesDo) {
    const QByteArray settings = "[Settings]\nShowTips=1\nUDKPrompt = Disc ID \nGLO:Delimiter=-\n"
                                "SRCF?Browse:1=77L(2)|M~Artist~@s50@\nFontNamePrintTUN:SongsByArtist=Arial\n"
                                "XploreFont-?Browse=Tahoma\nFormula=a=b\nEmpty=\nQuoted=\"  padded \"\n";
    const ReadCase cases[] = {
        {"plain key", settings, "Settings", "ShowTips", "1"},
        {"section and key ignore case", settings, "SETTINGS", "showtips", "1"},
        {"blanks around key and value", settings, "Settings", "UDKPrompt", "Disc ID"},
        {"colon in key", settings, "Settings", "glo:delimiter", "-"},
        {"question mark and colon", settings, "Settings", "SRCF?Browse:1", "77L(2)|M~Artist~@s50@"},
        {"report font key", settings, "Settings", "FontNamePrintTUN:SongsByArtist", "Arial"},
        {"explorer key", settings, "Settings", "XploreFont-?Browse", "Tahoma"},
        {"value after the first '='", settings, "Settings", "Formula", "a=b"},
        {"present but empty", settings, "Settings", "Empty", ""},
        {"quotes stripped, blanks kept", settings, "Settings", "Quoted", "  padded "},
        {"missing key", settings, "Settings", "Tip", "<default>"},
        {"missing section", settings, "Fonts", "ShowTips", "<default>"},
        {"prefix of a key is no key", settings, "Settings", "SRCF?Browse", "<default>"},
        {"first duplicate section wins", "[A]\nK=1\n[B]\nK=2\n[a]\nK=3\nL=4\n", "A", "K", "1"},
        {"later duplicate section unseen", "[A]\nK=1\n[a]\nL=4\n", "A", "L", "<default>"},
        {"first duplicate key wins", "[A]\nK=1\nk=2\n", "A", "K", "1"},
        {"CRLF lines", "[A]\r\nK=crlf\r\nL=2\r\n", "A", "K", "crlf"},
        {"byte-order mark", "\xEF\xBB\xBF[A]\nK=bom\n", "A", "K", "bom"},
        {"no final line break", "[A]\nK=last", "A", "K", "last"},
        {"key before any section", "K=0\n[A]\nL=1\n", "A", "K", "<default>"},
        {"comment is no key", "[A]\n;K=1\n", "A", ";K", "<default>"},
        {"garbage lines skipped", "[A]\ngarbage\n[broken\n=novalue\n\x01\x02\nK=ok\n", "A", "K", "ok"},
        {"section name trimmed", "[ Main ]\nXPosit=5\n", "Main", "XPosit", "5"},
        {"Latin-1 text", "[A]\nK=Caf\xE9\n", "A", "K", "Caf\xC3\xA9"},
    };
    for (const ReadCase& c : cases) {
        put(c.file);
        EXPECT_EQ(readIni(path(), QString::fromUtf8(c.section), QString::fromUtf8(c.key), "<default>"),
                  QString::fromUtf8(c.expected))
            << c.what;
    }
    EXPECT_EQ(readIni(path("none.ini"), u"A", u"K", "dflt"), "dflt");
}

TEST_F(IniFileTest, ReadsAVeryLongLine) {
    const QByteArray longValue(200000, 'x');
    put("[A]\nK=" + longValue + "\nL=after\n");
    EXPECT_EQ(readIni(path(), u"A", u"K").size(), longValue.size());
    EXPECT_EQ(readIni(path(), u"A", u"L"), "after");
}

struct WriteCase {
    const char* what;
    QByteArray before;
    const char* section;
    const char* key;
    const char* value;
    QByteArray after;
};

TEST_F(IniFileTest, WritingKeepsTheRestOfTheFile) {
    const QByteArray file = "; Tunarium settings\n[Settings]\nShowTips=1\n; note\nSU_Songs = 0\n\n"
                            "unknown line\n[Fonts]\nFontNamePrintByCategory=Arial\n";
    const WriteCase cases[] = {
        {"changes only the key's line", file, "settings", "su_songs", "1",
         "; Tunarium settings\n[Settings]\nShowTips=1\n; note\nSU_Songs=1\n\n"
         "unknown line\n[Fonts]\nFontNamePrintByCategory=Arial\n"},
        {"new key after the section's last key", file, "Settings", "Tip", "4",
         "; Tunarium settings\n[Settings]\nShowTips=1\n; note\nSU_Songs = 0\nTip=4\n\n"
         "unknown line\n[Fonts]\nFontNamePrintByCategory=Arial\n"},
        {"new section at the end", file, "Global Settings", "Version", "1.8i",
         file + "\n[Global Settings]\nVersion=1.8i\n"},
        {"empty value keeps the key", file, "Fonts", "FontNamePrintByCategory", "",
         "; Tunarium settings\n[Settings]\nShowTips=1\n; note\nSU_Songs = 0\n\n"
         "unknown line\n[Fonts]\nFontNamePrintByCategory=\n"},
        {"CRLF kept", "[A]\r\nK=1\r\n", "A", "L", "2", "[A]\r\nK=1\r\nL=2\r\n"},
        {"byte-order mark kept", "\xEF\xBB\xBF[A]\nK=1\n", "A", "K", "2", "\xEF\xBB\xBF[A]\nK=2\n"},
        {"first duplicate section written", "[A]\nK=1\n[A]\nK=2\n", "a", "K", "9", "[A]\nK=9\n[A]\nK=2\n"},
        {"empty section gets its first key", "[A]\n[B]\nK=1\n", "A", "K", "0", "[A]\nK=0\n[B]\nK=1\n"},
        {"new file", "", "Main", "XPosit", "12", "[Main]\nXPosit=12\n"},
        {"leading blanks quoted", "", "A", "K", " x", "[A]\nK=\" x\"\n"},
        {"line breaks flattened", "", "A", "K", "a\r\nb\nc", "[A]\nK=a b c\n"},
    };
    for (const WriteCase& c : cases) {
        put(c.before);
        ASSERT_TRUE(writeIni(path(), QString::fromUtf8(c.section), QString::fromUtf8(c.key),
                             QString::fromUtf8(c.value)))
            << c.what;
        EXPECT_EQ(content(), c.after) << c.what;
    }
}

TEST_F(IniFileTest, ValuesReadBackAsWritten) {
    for (const QString& value :
         {QStringLiteral("  both ends  "), QStringLiteral("\"quoted\""), QStringLiteral("\""),
          QStringLiteral("a=b;c"), QStringLiteral("Ünïcödé ♫")}) {
        ASSERT_TRUE(writeIni(path(), u"A", u"K", value));
        EXPECT_EQ(readIni(path(), u"A", u"K"), value);
    }
}

TEST_F(IniFileTest, RefusesKeysAndSectionsTheFileCannotHold) {
    put("[A]\nK=1\n");
    EXPECT_FALSE(writeIni(path(), u"A", u"K=2", "x"));
    EXPECT_FALSE(writeIni(path(), u"A", u"  ", "x"));
    EXPECT_FALSE(writeIni(path(), u"A]", u"K", "x"));
    EXPECT_FALSE(writeIni(path(), u"A", u"K\nL", "x"));
    EXPECT_EQ(content(), "[A]\nK=1\n");
}

TEST_F(IniFileTest, WritingCreatesTheDirectory) {
    const QString nested = path("deep/er/POSITION.INI");
    ASSERT_TRUE(writeIni(nested, u"Main", u"XPosit", "10"));
    EXPECT_EQ(readIni(nested, u"Main", u"XPosit"), "10");
}

TEST_F(IniFileTest, FailedWriteLeavesTheOldFile) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "root writes into read-only directories";
    }
    put("[A]\nK=1\n");
    ASSERT_TRUE(QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    const bool written = writeIni(path(), u"A", u"K", "2");
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(written);
    EXPECT_EQ(content(), "[A]\nK=1\n");
    EXPECT_EQ(readIni(path(), u"A", u"K"), "1");
}

TEST_F(IniFileTest, FailedWriteOnAnUnwritablePathReportsFalse) {
    put("blocker", "file");
    EXPECT_FALSE(writeIni(path("file/sub.ini"), u"A", u"K", "1"));
}

TEST_F(IniFileTest, CacheFollowsChangesOnDisk) {
    put("[A]\nK=1\n");
    EXPECT_EQ(readIni(path(), u"A", u"K"), "1");
    put("[A]\nK=changed\n");
    EXPECT_EQ(readIni(path(), u"A", u"K"), "changed");
    IniFile other(path());
    ASSERT_TRUE(other.setValue(u"A", u"K", "3"));
    EXPECT_EQ(readIni(path(), u"A", u"K"), "3");
    QFile::remove(path());
    EXPECT_EQ(readIni(path(), u"A", u"K", "gone"), "gone");
}

TEST_F(IniFileTest, RemoveDropsOnlyTheKey) {
    put("[A]\nK=1\nL=2\n");
    EXPECT_TRUE(removeIniKey(path(), u"a", u"k"));
    EXPECT_EQ(content(), "[A]\nL=2\n");
}

TEST(IniNumber, ReadsDecimalTextElseZero) {
    const std::pair<const char*, qint64> cases[] = {
        {"12", 12},
        {" 7 ", 7},
        {"-3", -3},
        {"+4", 4},
        {"1.9", 1},
        {"", 0},
        {"abc", 0},
        {"12abc", 0},
        {"nan", 0},
        {"1e300", 0},
        {"99999999999", 99999999999},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(iniNumber(QString::fromLatin1(text)), expected) << text;
    }
}

} // namespace
} // namespace tunarium
