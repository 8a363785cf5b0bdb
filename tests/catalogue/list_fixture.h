// Shared set-up of the list engine tests: a collection with generated songs, a songs list with the
// eight sort orders, a scripted window host, and the full ordered result to compare pages with.
#pragma once

#include "catalogue/list_engine.h"
#include "data/records.h"
#include "support/temp_collection.h"

#include <gtest/gtest.h>

#include <memory>

namespace tunarium::test {

// The window side, scripted: records the form calls and, when `answer` is set, answers at once.
class ScriptedHost : public ListHost {
public:
    void callForm(Request request, const Row& record) override {
        calls.push_back({request, record});
        if (answer) {
            answer(request, record);
        }
    }
    void setBusy(bool on) override { busyCalls += on ? 1 : 0; }
    void pageChanged() override { ++pageChanges; }
    void closeRequested() override { ++closes; }

    struct Call {
        Request request;
        Row record;
    };
    QVector<Call> calls;
    std::function<void(Request, const Row&)> answer;
    int busyCalls = 0;
    int pageChanges = 0;
    int closes = 0;
};

// Sort orders of the songs list as the songs browse has them, by sort-order number.
enum SongsOrder {
    kByTitle = 1,
    kByAlbum,
    kByMedia,
    kByCategory,
    kByChart,
    kByBpm,
    kByUdk,
    kByArtist,
};

ListDefinition songsList();
ListDefinition categoriesList();

class ListTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    Store& store() { return db->store(); }
    int field(TableId table, const char* name) const;
    int key(TableId table, const char* name) const;

    // `count` songs with repeating artists, titles, media, categories (1..5 and none) and
    // numbers; IDs 1..count.
    void addSongs(int count, quint32 seed = 7);
    SongRecord addSong(const QString& artist, const QString& title, qint64 chart = 0,
                       const QString& media = {}, qint64 category = 0);
    void addCategory(qint64 id, const QString& name);

    std::unique_ptr<ListEngine> makeEngine(ListDefinition def, int lines, int tab = 0,
                                           Request request = Request::None);

    // The records of a sort order as the key orders them (within the range, passing `keep`), by
    // record number, computed without the engine.
    QVector<qint64> expected(int sortOrder, const QVector<QVariant>& range = {},
                             const std::function<bool(const Row&)>& keep = {});
    QVector<qint64> page(const ListEngine& engine) const;
    qint64 selectedRec(const ListEngine& engine) const;

    TempCollection dir;
    RecordingPrompter prompter;
    std::unique_ptr<Database> db;
    ScriptedHost host;
};

} // namespace tunarium::test
