// The assignment window of an import, its buttons turned into calls of the import setup, and the
// import command from the file dialog to the progress windows.
#include "exchange/ui/import_window.h"

#include "data/settings.h"

#include "data/app_paths.h"
#include "data/pictures.h"
#include "exchange/exchange_files.h"
#include "exchange/import_options.h"
#include "exchange/ui/picture_editor.h"
#include "process/ui/process_window.h"
#include "ui/help_window.h"
#include "ui/ok_cancel_row.h"
#include "ui/widget_geometry.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tunarium {

namespace {

constexpr char kHelpPage[] = "import_export.html";
constexpr char16_t kRecordPicture[] = u"@n-13";

QPushButton* button(const QString& text, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    return b;
}

QTreeWidget* list(const QStringList& columns, QWidget* parent) {
    auto* tree = new QTreeWidget(parent);
    tree->setColumnCount(int(columns.size()));
    tree->setHeaderLabels(columns);
    tree->setRootIsDecorated(false);
    tree->setItemsExpandable(false);
    tree->setUniformRowHeights(true);
    tree->setAllColumnsShowFocus(true);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setSelectionBehavior(QAbstractItemView::SelectRows);
    tree->header()->setSectionsMovable(false);
    tree->header()->setStretchLastSection(true);
    return tree;
}

// The row chosen in a list: its selected row, -1 when none.
int chosenRow(const QTreeWidget* tree) {
    const QList<QTreeWidgetItem*> selected = tree->selectedItems();
    return selected.isEmpty() ? -1 : tree->indexOfTopLevelItem(selected.first());
}

void setRowTexts(QTreeWidget* tree, int row, const QStringList& texts) {
    QTreeWidgetItem* item = tree->topLevelItem(row);
    if (item == nullptr) {
        item = new QTreeWidgetItem(tree);
    }
    for (int column = 0; column < texts.size(); ++column) {
        item->setText(column, texts[column]);
    }
}

// Widens a column to its header and contents, and to at least `sample` (text it is meant to hold).
void fitColumn(QTreeWidget* tree, int column, const QString& sample = {}) {
    tree->resizeColumnToContents(column);
    const int margin = tree->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, tree) * 4;
    const int wanted = std::max(tree->header()->sectionSizeHint(column),
                                tree->fontMetrics().horizontalAdvance(sample) + margin);
    if (tree->columnWidth(column) < wanted) {
        tree->setColumnWidth(column, wanted);
    }
}

PromptMessage noFieldsMessage(const QString& text) {
    PromptMessage m;
    m.caption = QStringLiteral("No Fields Selected for Import!");
    m.text = text;
    m.icon = PromptIcon::Information;
    return m;
}

PromptMessage emptyFileMessage() {
    PromptMessage m;
    m.caption = QStringLiteral("Attention!");
    m.text = QStringLiteral("That file is empty!  Please pick another file.");
    m.icon = PromptIcon::Information;
    return m;
}

// The run in its progress window; at its end the user is told how it went and may ask for album
// entries, made in a progress window of their own.
void runImport(Database& db, Prompter& prompter, QMdiArea* workspace,
               std::unique_ptr<ImportProcess> process) {
    ProcessWindow* window = runProcessWindow(workspace, std::move(process));
    QObject::connect(window, &ProcessWindow::finished, window, [&db, &prompter, workspace, window] {
        const auto& run = static_cast<const ImportProcess&>(window->process());
        ImportOptions options;
        options.createAlbums = importFinished(run, prompter);
        if (std::unique_ptr<AlbumEntriesProcess> albums = albumEntriesAfter(db, run, options)) {
            runProcessWindow(workspace, std::move(albums));
        }
    });
}

} // namespace

ImportWindow::ImportWindow(Database& db, Prompter& prompter, std::unique_ptr<ImportSetup> setup,
                           const QString& positionFile, QWidget* parent)
    : QDialog(parent), m_db(db), m_prompter(prompter), m_setup(std::move(setup)),
      m_positionFile(positionFile) {
    setWindowTitle(QStringLiteral("Assign fields for Import..."));
    setSizeGripEnabled(true);

    m_fields =
        list({QStringLiteral("Import Field"), QStringLiteral("Picture"), QStringLiteral("Value")}, this);
    m_targets =
        list({QStringLiteral("Target Field"), QStringLiteral("="), QStringLiteral("Import Field")}, this);
    m_next = button(QStringLiteral("&Next"), this);
    auto* recordPrompt = new QLabel(QStringLiteral("Rec#"), this);
    m_record = new QLabel(this);
    m_record->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_record->setFrameShape(QFrame::StyledPanel);
    m_record->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000000000")) + 8);
    m_picture = button(QStringLiteral("&Picture"), this);
    m_assign = button(QStringLiteral("&Assign"), this);
    m_auto = button(QStringLiteral("A&uto"), this);
    m_unassign = button(QStringLiteral("&Unassign"), this);
    m_stripHeader = new QCheckBox(QStringLiteral("Strip &header record (field names)"), this);
    m_ok = button(okText(), this);
    m_ok->setDefault(true);
    m_cancel = button(QStringLiteral("&Cancel"), this);
    m_help = button(QStringLiteral("Help"), this);
    m_help->setShortcut(QKeySequence::HelpContents);

    auto* lists = new QHBoxLayout;
    lists->addWidget(m_fields, 5);
    lists->addWidget(m_targets, 4);

    auto* actions = new QHBoxLayout;
    actions->addWidget(m_next);
    actions->addSpacing(8);
    actions->addWidget(recordPrompt);
    actions->addWidget(m_record);
    actions->addStretch(1);
    for (QPushButton* b : {m_picture, m_assign, m_auto, m_unassign}) {
        actions->addWidget(b);
    }

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_stripHeader);
    bottom->addStretch(1);
    for (QPushButton* b : {m_ok, m_cancel, m_help}) {
        bottom->addWidget(b);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addLayout(actions);
    layout->addLayout(bottom);

    QWidget* order[] = {m_fields,   m_targets,     m_next, m_picture, m_assign, m_auto,
                        m_unassign, m_stripHeader, m_ok,   m_cancel,  m_help};
    for (size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }

    buildLists();

    connect(m_fields, &QTreeWidget::itemSelectionChanged, this, &ImportWindow::fieldChosen);
    connect(m_fields, &QTreeWidget::itemClicked, this, &ImportWindow::fieldChosen);
    connect(m_targets, &QTreeWidget::itemSelectionChanged, this, &ImportWindow::targetChosen);
    connect(m_targets, &QTreeWidget::itemClicked, this, &ImportWindow::targetChosen);
    connect(m_next, &QPushButton::clicked, this, &ImportWindow::nextClicked);
    connect(m_picture, &QPushButton::clicked, this, &ImportWindow::pictureClicked);
    connect(m_assign, &QPushButton::clicked, this, &ImportWindow::assignClicked);
    connect(m_auto, &QPushButton::clicked, this, &ImportWindow::autoClicked);
    connect(m_unassign, &QPushButton::clicked, this, &ImportWindow::unassignClicked);
    connect(m_stripHeader, &QCheckBox::toggled, this, [this](bool on) { m_setup->setStripHeader(on); });
    connect(m_ok, &QPushButton::clicked, this, &ImportWindow::okClicked);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_help, &QPushButton::clicked, this, &ImportWindow::helpClicked);

    resize(920, 540);
}

ImportWindow::~ImportWindow() = default;

void ImportWindow::buildLists() {
    redraw();
    fitColumn(m_fields, 0, QStringLiteral("Field_999"));
    fitColumn(m_fields, 1, QStringLiteral("Alpha-num"));
    fitColumn(m_targets, 0);
    fitColumn(m_targets, 1);
    m_fields->setMinimumWidth(m_fields->columnWidth(0) + m_fields->columnWidth(1) +
                              fontMetrics().horizontalAdvance(QLatin1Char('x')) * 30);
    m_targets->setMinimumWidth(m_targets->columnWidth(0) + m_targets->columnWidth(1) +
                               fontMetrics().horizontalAdvance(QStringLiteral("Field_999")) + 24);

    // The first row of each list is the current one to begin with; neither chooses its partner.
    m_following = true;
    selectRow(m_fields, 0);
    selectRow(m_targets, 0);
    m_following = false;
}

void ImportWindow::redraw() {
    const QVector<ImportField>& fields = m_setup->fields();
    for (int row = 0; row < fields.size(); ++row) {
        setRowTexts(m_fields, row, {fields[row].field, fields[row].displayPicture, fields[row].value});
    }
    while (m_fields->topLevelItemCount() > fields.size()) {
        delete m_fields->takeTopLevelItem(m_fields->topLevelItemCount() - 1);
    }
    const QVector<ImportTarget>& targets = m_setup->targets();
    for (int row = 0; row < targets.size(); ++row) {
        setRowTexts(m_targets, row, {targets[row].field, targets[row].equals, targets[row].sourceField});
        m_targets->topLevelItem(row)->setTextAlignment(1, Qt::AlignCenter);
    }
    while (m_targets->topLevelItemCount() > targets.size()) {
        delete m_targets->takeTopLevelItem(m_targets->topLevelItemCount() - 1);
    }
    m_record->setText(formatPicture(m_setup->recordNumber(), kRecordPicture).trimmed());
    m_next->setEnabled(m_setup->nextEnabled());
    m_auto->setEnabled(m_setup->autoEnabled());
    if (m_stripHeader->isChecked() != m_setup->stripHeader()) {
        m_stripHeader->setChecked(m_setup->stripHeader());
    }
}

void ImportWindow::selectRow(QTreeWidget* tree, int row) {
    QTreeWidgetItem* item = tree->topLevelItem(row);
    if (item == nullptr) {
        return;
    }
    tree->setCurrentItem(item);
    tree->scrollToItem(item);
}

void ImportWindow::start() {
    open();
    if (!m_positionFile.isEmpty()) {
        restoreWidgetPosition(this, QString::fromLatin1(kImportWindowSection), m_positionFile);
    }
    // The window opens with the choices of an import given none: A&uto pressed once.
    applyImportOptions(*m_setup, ImportOptions{});
    redraw();
    m_fields->setFocus();
}

ImportWindow* ImportWindow::run(Database& db, Prompter& prompter, std::unique_ptr<ImportSetup> setup,
                                const QString& positionFile, QWidget* parent, Done done) {
    auto* window = new ImportWindow(db, prompter, std::move(setup), positionFile, parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setDone(std::move(done));
    window->start();
    return window;
}

void ImportWindow::done(int result) {
    if (m_finished) {
        QDialog::done(result);
        return;
    }
    m_finished = true;
    if (isVisible() && !m_positionFile.isEmpty()) {
        saveWidgetPosition(this, QString::fromLatin1(kImportWindowSection), m_positionFile);
    }
    // The window may be gone once it has closed: the answer is taken first.
    Done answer = std::move(m_done);
    std::unique_ptr<ImportProcess> process = std::move(m_process);
    QDialog::done(result);
    if (answer) {
        answer(std::move(process));
    }
}

void ImportWindow::fieldChosen() {
    if (m_following) {
        return;
    }
    const int target = m_setup->firstTargetOf(chosenRow(m_fields));
    if (target >= 0) {
        m_following = true;
        selectRow(m_targets, target);
        m_following = false;
    }
}

void ImportWindow::targetChosen() {
    if (m_following) {
        return;
    }
    const int field = m_setup->fieldOfTarget(chosenRow(m_targets));
    if (field >= 0) {
        m_following = true;
        selectRow(m_fields, field);
        m_following = false;
    }
}

void ImportWindow::nextClicked() {
    m_setup->next();
    redraw();
    if (!m_next->isEnabled() && m_next->hasFocus()) {
        m_fields->setFocus();
    }
}

void ImportWindow::pictureClicked() {
    const int field = chosenRow(m_fields);
    if (field < 0) {
        return;
    }
    QPointer<ImportWindow> self(this);
    editPicture(this, m_prompter, m_setup->fields()[field].picture, [self, field](const QString& picture) {
        if (self) {
            self->m_setup->setPicture(field, picture);
            self->redraw();
            self->m_fields->setFocus();
        }
    });
}

void ImportWindow::assignClicked() {
    const int target = chosenRow(m_targets);
    const int field = chosenRow(m_fields);
    if (target < 0 || field < 0) {
        return;
    }
    m_setup->assign(target, field);
    redraw();
    m_targets->setFocus();
}

void ImportWindow::autoClicked() {
    m_setup->autoAssign();
    redraw();
}

void ImportWindow::unassignClicked() {
    const int target = chosenRow(m_targets);
    if (target < 0) {
        return;
    }
    m_setup->unassign(target);
    redraw();
    m_targets->setFocus();
}

void ImportWindow::okClicked() {
    m_setup->setStripHeader(m_stripHeader->isChecked());
    if (const QString problem = importRunProblem(*m_setup); !problem.isEmpty()) {
        m_prompter.message(noFieldsMessage(problem));
        m_fields->setFocus();
        return;
    }
    m_process = makeImportRun(m_db, *m_setup);
    accept();
}

void ImportWindow::helpClicked() {
    // A window of its own over this one, so that it can be read while the window waits.
    auto* help = new HelpWindow(this);
    help->setAttribute(Qt::WA_DeleteOnClose);
    help->showTopic(QString::fromLatin1(kHelpPage));
    help->show();
}

void startImport(Database& db, Prompter& prompter, QMdiArea* workspace, QWidget* parent) {
    const QString last = lastExchangeFile();
    // Never the collection directory unless the user went there: see fileDialogFolder().
    QString directory = last.isEmpty() ? fileDialogFolder() : QFileInfo(last).absolutePath();
    std::unique_ptr<ImportSetup> setup;
    QString path;
    for (;;) {
        path = prompter.chooseOpenFile(QStringLiteral("Import File"), directory,
                                       QString::fromLatin1(kImportFileFilter));
        if (path.isEmpty()) {
            return;
        }
        setup = std::make_unique<ImportSetup>();
        const ImportSetup::OpenResult opened = setup->open(path, db.collectionDir());
        if (opened == ImportSetup::OpenResult::Ok) {
            break;
        }
        if (opened == ImportSetup::OpenResult::Empty) {
            prompter.message(emptyFileMessage());
            directory = QFileInfo(path).absolutePath();
            continue;
        }
        if (opened == ImportSetup::OpenResult::CannotOpen) {
            prompter.message(fileFailureMessage(QStringLiteral("Cannot OPEN "), path, setup->openError()));
        }
        return;
    }
    setLastExchangeFile(path);

    ImportWindow::run(db, prompter, std::move(setup), positionFilePath(db.collectionDir()), parent,
                      [&db, &prompter, workspace](std::unique_ptr<ImportProcess> process) {
                          if (process) {
                              runImport(db, prompter, workspace, std::move(process));
                          }
                      });
}

} // namespace tunarium
