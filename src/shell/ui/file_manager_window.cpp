// The File Manager window.
#include "shell/ui/file_manager_window.h"

#include "catalogue/list_format.h"
#include "data/app_paths.h"
#include "process/ui/process_window.h"
#include "ui/dialog_units.h"
#include "ui/widget_geometry.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tunarium {

namespace {

enum Column { kTagColumn, kTableColumn, kRecordsColumn, kFileColumn };

// The list's columns, widths in dialog units: the tag, the table, its record count and its file.
const char kListFormat[] = "16C|M~~@s2@70L(2)|M~Table~@s50@40R(2)|M~Records~@s10@200L(2)|M~File~@s144@";
constexpr QSize kDesignSize(400, 200);

const QString kSection = QStringLiteral("FileManager");

ListLayoutKeys layoutKeys(const QString& positionFile) {
    return {positionFile, kSection, QStringLiteral("?ListQueue")};
}

} // namespace

FileManagerWindow::FileManagerWindow(Database& db, const QString& profilePath, QWidget* parent)
    : QWidget(parent), m_manager(db, profilePath), m_positionFile(positionFilePath(db.collectionDir())),
      m_body(new QWidget(this)), m_list(new QTreeWidget) {
    setWindowTitle(tr("File Manager"));
    m_list->setColumnCount(4);
    m_list->setHeaderLabels({QString(), tr("Table"), tr("Records"), tr("File")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    applyLayout(restoreListFormat(layoutKeys(m_positionFile), QString::fromLatin1(kListFormat)));
    fillList();
    connect(m_list, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (column == kTagColumn) {
            m_manager.setTagged(m_list->indexOfTopLevelItem(item),
                                item->checkState(kTagColumn) == Qt::Checked);
        }
    });

    auto* buttons = new QVBoxLayout;
    connect(addButton(tr("&Tag All"), tr("Tag all the files")), &QPushButton::clicked, this, [this] {
        m_manager.tagAll();
        fillList();
    });
    connect(addButton(tr("&Untag All"), tr("Untag all of the files")), &QPushButton::clicked, this, [this] {
        m_manager.untagAll();
        fillList();
    });
    const std::pair<MaintenanceAction, QString> actions[] = {
        {MaintenanceAction::Build, tr("Build the key files for the tagged data files")},
        {MaintenanceAction::Pack, tr("Pack the tagged data files")},
        {MaintenanceAction::Release, tr("Release any held records in the tagged files")},
        {MaintenanceAction::Fix, tr("Check the tagged files and repair them when they are damaged")},
        {MaintenanceAction::Info, tr("Show the record count and file of the tagged files")},
    };
    for (const auto& [action, tip] : actions) {
        const MaintenanceAction a = action;
        connect(addButton(actionCaption(a), tip), &QPushButton::clicked, this, [this, a] { runAction(a); });
    }
    connect(addButton(tr("&Done"), tr("Close this window")), &QPushButton::clicked, this, &QWidget::close);
    for (QPushButton* b : std::as_const(m_buttons)) {
        buttons->addWidget(b);
    }
    buttons->addStretch();

    auto* bodyLayout = new QHBoxLayout(m_body);
    bodyLayout->addWidget(m_list, 1);
    bodyLayout->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_body);
    resize(DialogUnits(this).toPixels(kDesignSize));
}

void FileManagerWindow::applyLayout(const QString& format) {
    m_format = format;
    const ListFormat parsed = ListFormat::parse(format);
    const DialogUnits units(m_list);
    for (int i = 0; i < parsed.columns().size() && i < m_list->columnCount(); ++i) {
        m_list->setColumnWidth(i, units.toPixelsX(parsed.columns()[i].width));
        m_lastColumnUnits = parsed.columns()[i].width;
    }
}

QString FileManagerWindow::currentLayout() const {
    const ListFormat parsed = ListFormat::parse(m_format);
    const int columns = std::min(static_cast<int>(parsed.columns().size()), m_list->columnCount());
    return parsed.withWidths(columnUnits(m_list->header(), columns, m_lastColumnUnits)).text();
}

QPushButton* FileManagerWindow::addButton(const QString& caption, const QString& tip) {
    auto* b = new QPushButton(caption);
    b->setToolTip(tip);
    b->setStatusTip(tip);
    m_buttons << b;
    return b;
}

QPushButton* FileManagerWindow::button(const QString& caption) const {
    for (QPushButton* b : m_buttons) {
        if (b->text() == caption) {
            return b;
        }
    }
    return nullptr;
}

void FileManagerWindow::fillList() {
    const QSignalBlocker block(m_list);
    const int current = m_list->currentIndex().row();
    m_list->clear();
    for (const FileManagerRow& r : m_manager.rows()) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(kTagColumn, r.tagged ? Qt::Checked : Qt::Unchecked);
        item->setText(kTableColumn, r.table);
        item->setText(kRecordsColumn, r.records);
        item->setTextAlignment(kRecordsColumn, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(kFileColumn, r.file);
    }
    m_list->setCurrentItem(m_list->topLevelItem(std::max(current, 0)));
}

void FileManagerWindow::takeTags() {
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        m_manager.setTagged(i, m_list->topLevelItem(i)->checkState(kTagColumn) == Qt::Checked);
    }
}

void FileManagerWindow::runAction(MaintenanceAction action) {
    if (busy()) {
        return;
    }
    takeTags();
    const QVector<int> rows = m_manager.targets(m_list->currentIndex().row());
    m_body->setEnabled(false);
    m_progress = runProcessWindowOver(this, std::make_unique<MaintenanceProcess>(m_manager, action, rows));
    connect(m_progress, &ProcessWindow::finished, this, [this] {
        m_body->setEnabled(true);
        fillList();
        emit actionFinished();
    });
}

void FileManagerWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_restored) {
        m_restored = true;
        restoreWidgetPosition(this, kSection, m_positionFile);
    }
}

void FileManagerWindow::closeEvent(QCloseEvent* event) {
    if (busy()) {
        event->ignore();
        return;
    }
    saveListFormat(layoutKeys(m_positionFile), currentLayout());
    saveWidgetPosition(this, kSection, m_positionFile);
    event->accept();
    emit closed();
}

} // namespace tunarium
