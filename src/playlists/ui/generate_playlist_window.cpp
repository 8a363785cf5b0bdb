// The playlist generator's window.
#include "playlists/ui/generate_playlist_window.h"

#include "catalogue/ui/picture_edit.h"
#include "playlists/procedure_names.h"
#include "ui/ok_cancel_row.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tunarium {

namespace {

constexpr std::initializer_list<TableId> kTables = {TableId::Tunarium, TableId::Categories,
                                                    TableId::PlaylistMaster, TableId::PlaylistDetails};

} // namespace

GeneratePlaylistWindow::GeneratePlaylistWindow(Database& db, const Settings& settings,
                                               const QString& positionFile, QWidget* caller, Made made)
    : FormWindow(QString::fromLatin1(procedure::kGeneratePlaylist), positionFile, caller, {}), m_db(db),
      m_settings(settings), m_made(std::make_shared<qint64>(0)) {
    setDone([made = std::move(made), result = m_made](Response) {
        if (made) {
            made(*result);
        }
    });
    setWindowTitle(QStringLiteral("Generate Play List"));
}

GeneratePlaylistWindow* GeneratePlaylistWindow::run(Database& db, const Settings& settings,
                                                    const QString& positionFile, QMdiArea* area,
                                                    QWidget* caller, Made made) {
    auto* window = new GeneratePlaylistWindow(db, settings, positionFile, caller, std::move(made));
    return window->open(area) ? window : nullptr;
}

bool GeneratePlaylistWindow::open(QMdiArea* area) {
    m_tables = TableLease(m_db, kTables);
    if (!m_tables) {
        finish(Response::Cancelled);
        return false;
    }
    QStringList names;
    if (StoreError e = categoryNames(m_db.store(), names)) {
        m_db.warnings().report(warning::kRecordRetrievalError, e, QStringLiteral("Categories"));
        finish(Response::Cancelled);
        return false;
    }
    build();
    m_category->addItems(names);
    m_category->setCurrentIndex(-1);
    m_category->setEditText({});
    resize(sizeHint());
    setMinimumSize(size());
    present(area);
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        sub->setMinimumSize(sub->minimumSizeHint());
    }
    m_size->setFocus();
    m_size->selectAll();
    return true;
}

void GeneratePlaylistWindow::build() {
    m_size = new PictureEdit(QStringLiteral("@n2"));
    m_size->setValue(0);
    // The date pictures follow the user's date format.
    m_from = new PictureEdit(m_settings.datePicture());
    m_to = new PictureEdit(m_settings.datePicture());
    m_category = new QComboBox;
    m_category->setEditable(true);
    m_category->setInsertPolicy(QComboBox::NoInsert);
    m_category->lineEdit()->setMaxLength(20);
    setMinimumCharacters(m_category, 30);
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Play List Size (Number of Songs):"), m_size);
    fields->addRow(QStringLiteral("Starting Release Date:"), m_from);
    fields->addRow(QStringLiteral("Ending Release Date:"), m_to);
    fields->addRow(QStringLiteral("Category (Blank for All):"), m_category);

    auto* group = new QGroupBox(QStringLiteral("Weighting"));
    auto* options = new QVBoxLayout(group);
    for (int i = 0; i < int(m_weightings.size()); ++i) {
        m_weightings[i] = new QRadioButton(weightingCaptions()[i]);
        options->addWidget(m_weightings[i]);
    }
    m_weightings[0]->setChecked(true);

    m_once = new QCheckBox(QStringLiteral("Each song only once"));
    m_skip = new QCheckBox(QStringLiteral("Leave out songs marked Do Not Play"));
    m_mixing = new QCheckBox(QStringLiteral("Compatible with the previous song (musical key)"));
    m_mixing->setToolTip(QStringLiteral("Each song's key mixes with the one before: the same number, or one "
                                        "number round on the same letter. Songs without a key are left out."));
    const OkCancelRow buttons = makeOkCancelRow(this, [this] { accept(); }, [this] { cancelRequested(); });
    m_ok = buttons.ok;

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(group);
    layout->addWidget(m_once);
    layout->addWidget(m_skip);
    layout->addWidget(m_mixing);
    layout->addStretch();
    layout->addLayout(buttons.layout);
}

GeneratorChoice GeneratePlaylistWindow::choice() const {
    GeneratorChoice c;
    (void)readChoice(c);
    c.category = m_category->currentText().trimmed();
    for (int i = 0; i < int(m_weightings.size()); ++i) {
        if (m_weightings[i]->isChecked()) {
            c.weighting = static_cast<Weighting>(i);
        }
    }
    c.eachSongOnce = m_once->isChecked();
    c.skipDoNotPlay = m_skip->isChecked();
    c.compatibleKeys = m_mixing->isChecked();
    return c;
}

GeneratorProblem GeneratePlaylistWindow::readChoice(GeneratorChoice& choice) const {
    return readGeneratorTexts({m_size->text(), m_from->text(), m_to->text()}, m_settings.datePicture(), choice);
}

QWidget* GeneratePlaylistWindow::fieldOf(GeneratorField field) const {
    switch (field) {
    case GeneratorField::Size:
        return m_size;
    case GeneratorField::From:
        return m_from;
    case GeneratorField::To:
        return m_to;
    case GeneratorField::Category:
        return m_category;
    case GeneratorField::None:
        break;
    }
    return nullptr;
}

void GeneratePlaylistWindow::accept() {
    SeededRandom random;
    PlaylistGenerator generator(m_db, random);
    const GeneratorChoice c = choice();
    GeneratorChoice read;
    GeneratorProblem problem = readChoice(read);
    if (problem.ok()) {
        problem = generator.check(c);
    }
    if (!problem.ok()) {
        m_db.prompter().message(problem.message);
        QWidget* field = fieldOf(problem.field);
        field->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(field)) {
            edit->selectAll();
        } else if (m_category->lineEdit()) {
            m_category->lineEdit()->selectAll();
        }
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const GeneratedPlaylist made = generator.generate(c);
    QApplication::restoreOverrideCursor();
    if (made.playlistId == 0 && made.qualifying == 0) {
        // No song passes the choice (the generator said so): the choice can be changed.
        m_from->setFocus();
        m_from->selectAll();
        return;
    }
    *m_made = made.playlistId;
    finish(made.playlistId != 0 ? Response::Completed : Response::Cancelled);
}

void GeneratePlaylistWindow::closed() {
    m_tables.release();
}

} // namespace tunarium
