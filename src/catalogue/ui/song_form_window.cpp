// The song form window.
#include "catalogue/ui/song_form_window.h"

#include "catalogue/ui/picture_edit.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace tunarium {

namespace {

int f(const char* name) {
    return SongRules::field(name);
}

// An entry for a text field of the songs, as wide as the field.
PictureEdit* textEdit(const char* name) {
    return new PictureEdit(SongRules::formPicture(name));
}

int fieldWidth(TableId table, const char* name) {
    const TableDef& t = tableDef(table);
    return t.field(t.fieldIndex(QString::fromLatin1(name))).width;
}

// A memo asks for a few lines: the form opens no taller than its first tab needs, and the memo
// grows with the window.
class MemoEdit final : public QPlainTextEdit {
public:
    QSize sizeHint() const override {
        return {QPlainTextEdit::sizeHint().width(), fontMetrics().lineSpacing() * 5 + 2 * frameWidth() + 8};
    }
};

QPlainTextEdit* memoEdit(const QString& tip = {}) {
    auto* edit = new MemoEdit;
    edit->setTabChangesFocus(true);
    edit->setToolTip(tip);
    return edit;
}

} // namespace

SongFormWindow::SongFormWindow(Database& db, const Settings& settings, const QString& positionFile,
                               int request, const SongRecord& current, AlbumContext context, QWidget* caller,
                               Done done)
    : FormWindow(QStringLiteral("UpdateSong"), positionFile, caller, std::move(done)), m_db(db),
      m_settings(settings), m_rules(db, std::move(context)), m_session(db, m_rules, request),
      m_record(toRow(current)) {
    setWindowTitle(QStringLiteral("Update the Tunarium Database"));
}

bool SongFormWindow::dispatchToWizard(AddDispatch dispatch) {
    // The add wizards and the add-mode choice take over here once they exist; until then every
    // add opens the ordinary form.
    (void)dispatch;
    return false;
}

bool SongFormWindow::start(QMdiArea* area) {
    if (m_session.request() == kRequestInsert) {
        const AddDispatch dispatch = songAddDispatch(m_settings.addMode(), m_session.isCopy(),
                                                     m_rules.context(), fromRow<SongRecord>(m_record));
        if (dispatch != AddDispatch::OpenForm && dispatchToWizard(dispatch)) {
            finish(kResponseCancelled);
            return false;
        }
    }
    if (m_record.text(f("Media")).isEmpty()) {
        m_record.setText(f("Media"), QStringLiteral("CD"));
    }
    if (!startSession(m_db, {TableId::Tunarium, TableId::Album, TableId::Categories, TableId::Media},
                      m_session, m_record)) {
        finish(m_session.response());
        return false;
    }
    build();
    QString failedTable;
    if (StoreError e = m_rules.loadChoices(m_record, failedTable)) {
        m_db.warnings().saveError(e);
        m_db.warnings().show(warning::kRecordRetrievalError, failedTable);
        m_session.cancel();
        finish(kResponseCancelled);
        return false;
    }
    m_media->addItems(m_rules.mediaChoices());
    showCategoryChoices();
    display(m_record);
    setWindowTitle(m_session.caption());
    present(area);
    m_artist->setFocus();
    return true;
}

void SongFormWindow::build() {
    m_tabs = new QTabWidget;
    m_tabs->addTab(buildGeneral(), QStringLiteral("&General"));
    m_tabs->addTab(buildRecording(), QStringLiteral("Recording/Performance"));
    m_tabs->addTab(buildCustom(), QStringLiteral("Custom"));
    m_tabs->addTab(buildNotes(), QStringLiteral("&Notes"));

    m_albumDefaults = new QPushButton(QStringLiteral("Default with Album Information"));
    // Filling from an album needs the album selection window, which is not part of this program
    // yet.
    m_albumDefaults->setEnabled(false);
    m_ok = new QPushButton(QStringLiteral("&OK"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"));
    connect(m_ok, &QPushButton::clicked, this, &SongFormWindow::accept);
    connect(m_cancel, &QPushButton::clicked, this, &SongFormWindow::cancelRequested);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_albumDefaults);
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(buttons);

    const AlbumContext& context = m_rules.context();
    if (context.active()) {
        m_albumDefaults->hide();
        m_album->setEnabled(false);
        m_media->setEnabled(false);
        m_artist->setEnabled(!context.fixesArtist());
    }
}

QWidget* SongFormWindow::buildGeneral() {
    auto* page = new QWidget;
    auto* left = new QFormLayout;
    auto* right = new QFormLayout;
    m_artist = textEdit("Artist");
    m_title = textEdit("Title");
    m_album = textEdit("Album");
    m_media = new QComboBox;
    setMinimumCharacters(m_media, fieldWidth(TableId::Media, "Media"));
    m_time = new PictureEdit(QStringLiteral("@t4"));
    m_fileNumber = textEdit("FileNumber");
    m_releaseDate = new PictureEdit(m_settings.datePicture());
    m_category = new QComboBox;
    m_category->setEditable(true);
    m_category->setInsertPolicy(QComboBox::NoInsert);
    const int categoryWidth = fieldWidth(TableId::Categories, "Category");
    m_category->lineEdit()->setMaxLength(categoryWidth);
    setMinimumCharacters(m_category, categoryWidth);
    m_track = new PictureEdit(QStringLiteral("@n3"));
    m_side = new PictureEdit(QStringLiteral("@n2b"));
    m_bpm = new PictureEdit(QStringLiteral("@n_4b"));
    m_chart = new PictureEdit(QStringLiteral("@n3b"));
    m_mix = textEdit("Mix");
    m_mix->setToolTip(QStringLiteral("Mix or version specific information"));
    m_style = textEdit("Style");
    m_rating = new PictureEdit(QStringLiteral("@n2b"));
    m_inOut = textEdit("InOut");
    m_inOut->setToolTip(QStringLiteral("In/Out information"));
    left->addRow(QStringLiteral("&Artist:"), m_artist);
    left->addRow(QStringLiteral("&Title:"), m_title);
    left->addRow(QStringLiteral("&Album:"), m_album);
    left->addRow(QStringLiteral("&Media:"), m_media);
    left->addRow(QStringLiteral("T&ime:"), m_time);
    left->addRow(QStringLiteral("&File Number:"), m_fileNumber);
    left->addRow(QStringLiteral("&Release Date:"), m_releaseDate);
    left->addRow(QStringLiteral("&Category:"), m_category);
    right->addRow(QStringLiteral("Track &Number:"), m_track);
    right->addRow(QStringLiteral("Side/Disc:"), m_side);
    right->addRow(QStringLiteral("Beats Per Minute:"), m_bpm);
    right->addRow(QStringLiteral("Highest Chart Number:"), m_chart);
    right->addRow(QStringLiteral("Mix:"), m_mix);
    right->addRow(QStringLiteral("Style:"), m_style);
    right->addRow(QStringLiteral("Rating:"), m_rating);
    right->addRow(QStringLiteral("In/Out:"), m_inOut);

    m_skips = new QCheckBox(QStringLiteral("Skips"));
    m_doNotPlay = new QCheckBox(QStringLiteral("Do Not Play"));
    m_live = new QCheckBox(QStringLiteral("Live"));
    auto* ending = new QGroupBox(QStringLiteral("Type of Ending"));
    m_slow = new QRadioButton(QStringLiteral("Slow"));
    m_fast = new QRadioButton(QStringLiteral("Fast"));
    m_abrupt = new QRadioButton(QStringLiteral("Abrupt"));
    auto* endings = new QHBoxLayout(ending);
    for (QRadioButton* b : {m_slow, m_fast, m_abrupt}) {
        endings->addWidget(b);
    }
    auto* marks = new QHBoxLayout;
    marks->addWidget(m_skips);
    marks->addWidget(m_doNotPlay);
    marks->addWidget(m_live);
    marks->addWidget(ending);

    auto* columns = new QHBoxLayout;
    // Each column opens at the width its fields ask for; the left one takes what the window adds.
    columns->addLayout(left, 1);
    columns->addLayout(right, 0);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(columns);
    layout->addLayout(marks);
    layout->addStretch();

    for (SongCheck check : kSongChecks) {
        checkedControl(check)->installEventFilter(this);
    }
    m_category->lineEdit()->installEventFilter(this);
    return page;
}

QWidget* SongFormWindow::buildRecording() {
    auto* page = new QWidget;
    auto* layout = new QFormLayout(page);
    m_recording = memoEdit(QStringLiteral("Recording Information (Engineer, Producer, Etc)"));
    m_composer = textEdit("Composer");
    m_performance = memoEdit();
    layout->addRow(QStringLiteral("Recording Information:"), m_recording);
    layout->addRow(QStringLiteral("Composer:"), m_composer);
    layout->addRow(QStringLiteral("Performance Notes:"), m_performance);
    return page;
}

QWidget* SongFormWindow::buildCustom() {
    auto* page = new QWidget;
    auto* layout = new QFormLayout(page);
    m_udk = textEdit("UserDefinedKeyField");
    m_udk->setToolTip(
        QStringLiteral("See File/Preferences/Customization to label this field to suit your needs"));
    const QString label = m_settings.udkPrompt().trimmed();
    m_udkPrompt = new QLabel(label.isEmpty() ? QStringLiteral("User Defined Key Field:") : label + u':');
    m_udkPrompt->setBuddy(m_udk);
    layout->addRow(m_udkPrompt, m_udk);
    for (int i = 0; i < 3; ++i) {
        m_info[i] = new PictureEdit(SongRules::formPicture("AdditionalInformation1"));
        layout->addRow(QStringLiteral("Additional Information %1:").arg(i + 1), m_info[i]);
    }
    return page;
}

QWidget* SongFormWindow::buildNotes() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    m_notes = memoEdit();
    layout->addWidget(m_notes);
    return page;
}

void SongFormWindow::display(const Row& r) {
    m_artist->setValue(r.value(f("Artist")));
    m_title->setValue(r.value(f("Title")));
    m_album->setValue(r.value(f("Album")));
    m_media->setCurrentIndex(m_media->findText(r.text(f("Media")), Qt::MatchFixedString));
    m_time->setValue(r.value(f("Time")));
    m_fileNumber->setValue(r.value(f("FileNumber")));
    m_releaseDate->setValue(r.value(f("ReleaseDate")));
    m_category->setEditText(m_rules.categoryName(r.number(f("CategoryID"))));
    m_track->setValue(r.value(f("TrackNumber")));
    m_side->setValue(r.value(f("Side")));
    m_bpm->setValue(r.value(f("BeatsPerMinute")));
    m_chart->setValue(r.value(f("ChartNumber")));
    m_mix->setValue(r.value(f("Mix")));
    m_style->setValue(r.value(f("Style")));
    m_rating->setValue(r.value(f("Rating")));
    m_inOut->setValue(r.value(f("InOut")));
    m_skips->setChecked(r.number(f("Skips")) != 0);
    m_doNotPlay->setChecked(r.number(f("DoNotPlay")) != 0);
    m_live->setChecked(r.number(f("Live")) != 0);
    const QString ending = r.text(f("EndType"));
    m_slow->setChecked(ending == QLatin1String("Slow"));
    m_fast->setChecked(ending == QLatin1String("Fast"));
    m_abrupt->setChecked(ending == QLatin1String("Abrupt"));
    m_recording->setPlainText(r.text(f("Recording")));
    m_composer->setValue(r.value(f("Composer")));
    m_performance->setPlainText(r.text(f("PerformanceNotes")));
    m_udk->setValue(r.value(f("UserDefinedKeyField")));
    for (int i = 0; i < 3; ++i) {
        m_info[i]->setValue(r.value(f("AdditionalInformation1") + i));
    }
    m_notes->setPlainText(r.text(f("Notes")));
    for (SongCheck check : kSongChecks) {
        m_accepted.insert(static_cast<int>(check), controlText(check));
    }
}

void SongFormWindow::readInto(Row& r) const {
    const auto text = [&](const char* name, const QString& value) { r.setText(f(name), value); };
    const auto number = [&](const char* name, const QVariant& value) {
        r.setNumber(f(name), value.toLongLong());
    };
    text("Artist", m_artist->text());
    text("Title", m_title->text());
    text("Album", m_album->text());
    text("Media", m_media->currentText());
    number("Time", m_time->value());
    text("FileNumber", m_fileNumber->text());
    number("ReleaseDate", m_releaseDate->value());
    number("TrackNumber", m_track->value());
    number("Side", m_side->value());
    number("BeatsPerMinute", m_bpm->value());
    number("ChartNumber", m_chart->value());
    text("Mix", m_mix->text());
    text("Style", m_style->text());
    number("Rating", m_rating->value());
    text("InOut", m_inOut->text());
    number("Skips", m_skips->isChecked() ? 1 : 0);
    number("DoNotPlay", m_doNotPlay->isChecked() ? 1 : 0);
    number("Live", m_live->isChecked() ? 1 : 0);
    text("EndType", m_slow->isChecked()     ? "Slow"
                    : m_fast->isChecked()   ? "Fast"
                    : m_abrupt->isChecked() ? "Abrupt"
                                            : "");
    text("Recording", m_recording->toPlainText());
    text("Composer", m_composer->text());
    text("PerformanceNotes", m_performance->toPlainText());
    text("UserDefinedKeyField", m_udk->text());
    for (int i = 0; i < 3; ++i) {
        r.setText(f("AdditionalInformation1") + i, m_info[i]->text());
    }
    text("Notes", m_notes->toPlainText());
}

QWidget* SongFormWindow::checkedControl(SongCheck check) const {
    switch (check) {
    case SongCheck::Media:
        return m_media;
    case SongCheck::Time:
        return m_time;
    case SongCheck::Category:
        return m_category;
    case SongCheck::TrackNumber:
        return m_track;
    case SongCheck::ChartNumber:
        return m_chart;
    case SongCheck::Rating:
        return m_rating;
    }
    return nullptr;
}

QString SongFormWindow::controlText(SongCheck check) const {
    if (QWidget* control = checkedControl(check)) {
        if (auto* box = qobject_cast<QComboBox*>(control)) {
            return box->currentText();
        }
        return static_cast<QLineEdit*>(control)->text();
    }
    return {};
}

void SongFormWindow::showCategoryChoices() {
    const QString typed = m_category->currentText();
    const QSignalBlocker block(m_category);
    m_category->clear();
    for (const CategoryChoice& c : m_rules.categoryChoices()) {
        m_category->addItem(c.name, c.id);
    }
    m_category->setEditText(typed);
}

void SongFormWindow::showAccepted() {
    m_time->setValue(m_record.value(f("Time")));
    if (m_category->count() != m_rules.categoryChoices().size()) {
        showCategoryChoices(); // a category was added
    }
    const qint64 category = m_record.number(f("CategoryID"));
    if (category != 0) {
        m_category->setEditText(m_rules.categoryName(category));
    }
}

bool SongFormWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && !m_checking) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        QWidget* next = QApplication::focusWidget();
        // Leaving a field means going to another field of the form. A popup, another window and
        // the buttons (OK checks every field itself, Cancel and the album button need none) do
        // not count.
        const bool left = reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason && next &&
                          isAncestorOf(next) && !qobject_cast<QPushButton*>(next);
        if (left) {
            for (SongCheck check : kSongChecks) {
                QWidget* control = checkedControl(check);
                if (watched == control ||
                    (check == SongCheck::Category && watched == m_category->lineEdit())) {
                    if (!control->isAncestorOf(next) && next != control) {
                        fieldLeft(check);
                    }
                    break;
                }
            }
        }
    }
    return FormWindow::eventFilter(watched, event);
}

void SongFormWindow::fieldLeft(SongCheck check) {
    if (controlText(check) == m_accepted.value(static_cast<int>(check))) {
        return;
    }
    m_checking = true;
    readInto(m_record);
    const bool accepted = m_rules.acceptField(check, m_record, m_category->currentText());
    if (accepted) {
        showAccepted();
        m_accepted.insert(static_cast<int>(check), controlText(check));
    }
    m_checking = false;
    if (!accepted) {
        // The field keeps the focus, once the focus has finished moving away from it.
        QPointer<QWidget> control = checkedControl(check);
        QTimer::singleShot(0, this, [control] {
            if (control) {
                control->setFocus();
                if (auto* edit = qobject_cast<QLineEdit*>(control.data())) {
                    edit->selectAll();
                }
            }
        });
    }
}

bool SongFormWindow::acceptFields() {
    readInto(m_record);
    m_checking = true;
    const std::optional<SongCheck> failing = m_rules.acceptAll(m_record, m_category->currentText());
    m_checking = false;
    m_time->setValue(m_record.value(f("Time")));
    if (failing) {
        m_tabs->setCurrentIndex(0);
        QWidget* control = checkedControl(*failing);
        control->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            edit->selectAll();
        }
        return false;
    }
    showAccepted();
    for (SongCheck check : kSongChecks) {
        m_accepted.insert(static_cast<int>(check), controlText(check));
    }
    return true;
}

void SongFormWindow::refreshCategory() {
    if (m_checking || m_category == nullptr) {
        return;
    }
    // A category the user is typing stays as typed; otherwise the form shows the category as it
    // is now (renamed or deleted by another window).
    const bool untouched =
        m_category->currentText() == m_accepted.value(static_cast<int>(SongCheck::Category));
    const QString name = m_rules.refreshCategory(m_record);
    showCategoryChoices();
    if (untouched) {
        m_category->setEditText(name);
        m_accepted.insert(static_cast<int>(SongCheck::Category), name);
    }
}

void SongFormWindow::activated() {
    refreshCategory();
}

void SongFormWindow::resizeEvent(QResizeEvent* event) {
    FormWindow::resizeEvent(event);
    if (isVisible() && event->oldSize().isValid()) {
        refreshCategory();
    }
}

void SongFormWindow::accept() {
    if (!acceptFields()) {
        return;
    }
    if (m_settings.autoAddToAlbums()) {
        if (StoreError e = m_rules.addAlbumRecord(m_record)) {
            m_db.warnings().saveError(e);
            m_db.warnings().show(warning::kRecordInsertError);
            return;
        }
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const FormSession::SaveResult result = m_session.save(m_record);
    QApplication::restoreOverrideCursor();
    switch (result) {
    case FormSession::SaveResult::Closed:
        finish(m_session.response());
        break;
    case FormSession::SaveResult::Redisplay:
        display(m_record);
        break;
    case FormSession::SaveResult::StayOpen:
        m_tabs->setCurrentIndex(0);
        m_artist->setFocus();
        break;
    }
}

} // namespace tunarium
