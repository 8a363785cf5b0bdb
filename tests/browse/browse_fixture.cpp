// Shared set-up of the browse window tests.
#include "browse_fixture.h"

#include <QDir>
#include <QHeaderView>
#include <QMdiSubWindow>

namespace tunarium::test {

void BrowseTest::SetUp() {
    db = std::make_unique<Database>(prompter, dir.dir(), dir.configDir() + "/profile.ini");
    ASSERT_TRUE(db->openTable(TableId::Categories));
    ASSERT_TRUE(db->openTable(TableId::Media));
    area = std::make_unique<QMdiArea>();
    area->resize(900, 700);
    area->show();
    categoryHistory().clear();
    mediaHistory().clear();
}

void BrowseTest::TearDown() {
    area->closeAllSubWindows();
    settle();
    area.reset();
    settle();
    db.reset();
}

void BrowseTest::addCategory(qint64 id, const QString& name) {
    CategoryRecord c;
    c.categoryId = id;
    c.category = name;
    ASSERT_TRUE(db->store().insert(c).ok());
}

void BrowseTest::addMedia(const QString& name) {
    MediaRecord m;
    m.media = name;
    ASSERT_TRUE(db->store().insert(m).ok());
}

QStringList BrowseTest::shown(const BrowseWindow* browse) {
    QStringList out;
    const QAbstractItemModel* model = browse->list()->model();
    for (int r = 0; r < model->rowCount(); ++r) {
        out << model->index(r, 0).data().toString();
    }
    return out;
}

QString BrowseTest::selectedText(const BrowseWindow* browse) {
    const QModelIndexList rows = browse->list()->selectionModel()->selectedRows();
    return rows.isEmpty() ? QString() : rows.first().data().toString();
}

void BrowseTest::key(BrowseWindow* browse, Qt::Key k, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(browse->list(), k, modifiers);
}

void BrowseTest::typeText(BrowseWindow* browse, const QString& text) {
    QTest::keyClicks(browse->list(), text);
}

void BrowseTest::doubleClickRow(BrowseWindow* browse, int row) {
    QTableView* list = browse->list();
    const QPoint at = list->visualRect(list->model()->index(row, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

void BrowseTest::settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void BrowseTest::screenshot(QWidget* window, const QString& name) {
    const QString target = qEnvironmentVariable("TUNARIUM_SCREENSHOTS");
    if (target.isEmpty()) {
        return;
    }
    settle();
    QDir().mkpath(target);
    QWidget* frame = window->parentWidget() ? window->parentWidget() : window;
    frame->grab().save(target + "/" + name + ".png");
}

} // namespace tunarium::test
