// The songs field list as the wizard reads it, and encoded lists it cannot read.
#include "catalogue/query_fields.h"

#include <gtest/gtest.h>

using namespace tunarium;

namespace {

QueryFieldsLoad loadSongs(const QString& text) {
    return loadQueryFields(text, "SONGS", TableId::Tunarium);
}

TEST(QueryFields, SongsListLoadsEveryFieldInOrder) {
    const QueryFieldsLoad load = loadSongs(songsQueryFieldsText());
    ASSERT_TRUE(load.ok()) << load.error << " at entry " << load.entry;
    const QVector<QueryField>& f = load.list.fields;
    ASSERT_EQ(f.size(), 31);
    EXPECT_EQ(songsQueryFieldsText().count(QChar(171)), 30);
    EXPECT_EQ(songsQueryFieldsText().count(QChar(166)), 31 * 9);
    EXPECT_EQ(load.list.name, "SONGS");
    EXPECT_EQ(f.first().name, "CAT:Category");
    EXPECT_EQ(f.last().name, "TUN:DoNotPlay");

    const QueryField* mix = load.list.find(u"tun:mix");
    ASSERT_NE(mix, nullptr);
    EXPECT_EQ(mix->label, "Mix or Version Specific Information");
    EXPECT_EQ(mix->picture, "@s30");
    EXPECT_EQ(mix->size, 30);

    const QueryField* release = load.list.find(u"TUN:ReleaseDate");
    EXPECT_EQ(release->valueKind, QueryValueKind::Number);
    EXPECT_EQ(release->picture, "@d2");
    EXPECT_EQ(load.list.find(u"TUN:Notes")->size, 2000);

    const QueryField* doNotPlay = load.list.find(u"TUN:DoNotPlay");
    EXPECT_EQ(doNotPlay->entryKind, QueryEntryKind::CheckBox);
    EXPECT_EQ(doNotPlay->checkCaption, "Do Not Play");
    EXPECT_EQ(doNotPlay->operators().first(), QueryOperator::IsChecked);

    const QueryField* ending = load.list.find(u"TUN:EndType");
    EXPECT_EQ(ending->entryKind, QueryEntryKind::ChoiceList);
    EXPECT_EQ(ending->choices, (QStringList{"Slow", "Fast", "Abrupt"}));
    EXPECT_EQ(ending->operators().size(), 10);

    // Two fields share the label "Media".
    EXPECT_NE(load.list.indexOf(u"MED:Media"), load.list.indexOf(u"TUN:Media"));
    EXPECT_EQ(load.list.indexOf(u"TUN:AlbumID"), -1);
}

TEST(QueryFields, BrokenListsGiveTheirErrorNumber) {
    const QString good = QString::fromUtf16(u"Artist¦0¦TUN:Artist¦@s50¦50¦1¦1¦¦¦");
    struct Broken {
        QString text;
        int error;
        int entry;
    };
    const QVector<Broken> cases = {
        {"", kQueryFieldsEmpty, 0},
        {QString(kQueryEntrySeparator), kQueryFieldsEmpty, 0},
        {good + QString(kQueryEntrySeparator) + "Artist|0|TUN:Artist", kQueryFieldsColumnCount, 2},
        {QString::fromUtf16(u"Artist¦0¦TUN:Artist¦@s50¦50¦1¦1¦¦¦¦"), kQueryFieldsColumnCount, 1},
        {QString::fromUtf16(u"Artist¦0¦TUN:Artst¦@s50¦50¦1¦1¦¦¦"), kQueryFieldsUnknownField, 1},
        {QString::fromUtf16(u"Artist¦0¦Artist¦@s50¦50¦1¦1¦¦¦"), kQueryFieldsUnknownField, 1},
        {QString::fromUtf16(u"Notes¦0¦PLD:Notes¦@s50¦50¦1¦1¦¦¦"), kQueryFieldsUnknownField, 1},
        {QString::fromUtf16(u"Artist¦0¦TUN:Artist¦@s50¦fifty¦1¦1¦¦¦"), kQueryFieldsBadNumber, 1},
        {QString::fromUtf16(u"Artist¦0¦TUN:Artist¦@s50¦50¦3¦1¦¦¦"), kQueryFieldsBadNumber, 1},
        {QString::fromUtf16(u"Artist¦0¦TUN:Artist¦@s50¦50¦1¦4¦¦¦"), kQueryFieldsBadNumber, 1},
        {QString::fromUtf16(u"Artist¦0¦TUN:Artist¦@s50¦99999999999¦1¦1¦¦¦"), kQueryFieldsBadNumber, 1},
        {QString::fromUtf16(u"Live¦0¦TUN:Live¦@n3¦1¦2¦2¦¦ ¦"), kQueryFieldsNoChoices, 1},
        {QString::fromUtf16(u"End¦0¦TUN:EndType¦@s6¦6¦1¦3¦¦||¦"), kQueryFieldsNoChoices, 1},
    };
    for (const Broken& c : cases) {
        const QueryFieldsLoad load = loadSongs(c.text);
        EXPECT_EQ(load.error, c.error) << c.text.toStdString();
        EXPECT_EQ(load.entry, c.entry) << c.text.toStdString();
        EXPECT_TRUE(load.list.fields.isEmpty());
    }
}

TEST(QueryFields, FailedInitialisationMessage) {
    const PromptMessage m = queryWizardInitialisationError(kQueryFieldsUnknownField);
    EXPECT_EQ(m.caption, "Query Wizard Error# 3");
    EXPECT_EQ(m.text, "An error has prevented the Query Wizard from initializing.");
    EXPECT_EQ(m.icon, PromptIcon::Exclamation);

    RecordingPrompter prompter;
    const std::optional<QueryFieldList> songs = prepareSongsQueryFields(prompter);
    ASSERT_TRUE(songs.has_value());
    EXPECT_EQ(songs->name, "SONGS");
    EXPECT_TRUE(prompter.messages.isEmpty());
}

} // namespace
