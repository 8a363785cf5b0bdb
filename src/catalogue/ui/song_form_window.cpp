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
#include <QTabWidget>
#include <QVBoxLayout>

namespace tunarium {

namespace {

int f(const char* name) {
    return SongRules::field(name);
}

QPlainTextEdit* memoEdit(const QString& tip = {}) {
    auto* edit = new QPlainTextEdit;
    edit->setTabChangesFocus(true);
    edit->setToolTip(tip);
    return edit;
}

} // namespace

SongFormWindow::SongFormWindow(Database& db, const Settings& settings, const QString& positionFile, int request,
                               const SongRecord& current, AlbumContext context, QWidget* caller, Done done)
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
        const AddDispatch dispatch = songAddDispatch(m_settings.addMode(), m_session.isCopy(), m_rules.context(),
                                                     fromRow<SongRecord>(m_record));
        if (dispatch != AddDispatch::OpenForm && dispatchToWizard(dispatch)) {
            finish(kResponseCancelled);
            return false;
        }
    }
    if (m_record.text(f("Media")).isEmpty()) {
        m_record.setText(f("Media"), QStringLiteral("CD"));
    }
    if (!startSession(m_db, {TableId::Tunarium, TableId::Album, TableId::Categories, TableId::Media}, m_session,
                      m_record)) {
        finish(m_session.response());
        return false;
    }
    build();
    if (StoreError e = m_rules.loadMediaChoices(m_record); e || (e = m_rules.loadCategoryChoices())) {
        m_db.warnings().saveError(e);
        m_db.warnings().show(warning::kRecordRetrievalError, e.code == code::kOk ? "Media" : "Categories");
        m_session.cancel();
        finish(kResponseCancelled);
        return false;
    }
    m_media->addItems(m_rules.mediaChoices());
    for (const CategoryChoice& c : m_rules.categoryChoices()) {
        m_category->addItem(c.name, c.id);
    }
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
    m_artist = new PictureEdit(QStringLiteral("@s50"));
    m_title = new PictureEdit(QStringLiteral("@s50"));
    m_album = new PictureEdit(QStringLiteral("@s50"));
    m_media = new QComboBox;
    m_time = new PictureEdit(QStringLiteral("@t4"));
    m_fileNumber = new PictureEdit(QStringLiteral("@s20"));
    m_releaseDate = new PictureEdit(m_settings.datePicture());
    m_category = new QComboBox;
    m_category->setEditable(true);
    m_category->setInsertPolicy(QComboBox::NoInsert);
    m_category->lineEdit()->setMaxLength(30);
    m_track = new PictureEdit(QStringLiteral("@n3"));
    m_side = new PictureEdit(QStringLiteral("@n2b"));
    m_bpm = new PictureEdit(QStringLiteral("@n_4b"));
    m_chart = new PictureEdit(QStringLiteral("@n3b"));
    m_mix = new PictureEdit(QStringLiteral("@s30"));
    m_mix->setToolTip(QStringLiteral("Mix or version specific information"));
    m_style = new PictureEdit(QStringLiteral("@s30"));
    m_rating = new PictureEdit(QStringLiteral("@n2b"));
    m_inOut = new PictureEdit(QStringLiteral("@s20"));
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
    columns->addLayout(left, 3);
    columns->addLayout(right, 2);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(columns);
    layout->addLayout(marks);
    layout->addStretch();
    return page;
}

QWidget* SongFormWindow::buildRecording() {
    auto* page = new QWidget;
    auto* layout = new QFormLayout(page);
    m_recording = memoEdit(QStringLiteral("Recording Information (Engineer, Producer, Etc)"));
    m_composer = new PictureEdit(QStringLiteral("@s80"));
    m_performance = memoEdit();
    layout->addRow(QStringLiteral("Recording Information:"), m_recording);
    layout->addRow(QStringLiteral("Composer:"), m_composer);
    layout->addRow(QStringLiteral("Performance Notes:"), m_performance);
    return page;
}

QWidget* SongFormWindow::buildCustom() {
    auto* page = new QWidget;
    auto* layout = new QFormLayout(page);
    m_udk = new PictureEdit(QStringLiteral("@s30"));
    m_udk->setToolTip(QStringLiteral("See File/Preferences/Customization to label this field to suit your needs"));
    const QString label = m_settings.udkPrompt().trimmed();
    m_udkPrompt = new QLabel(label.isEmpty() ? QStringLiteral("User Defined Key Field:") : label + u':');
    m_udkPrompt->setBuddy(m_udk);
    layout->addRow(m_udkPrompt, m_udk);
    for (int i = 0; i < 3; ++i) {
        m_info[i] = new PictureEdit(QStringLiteral("@s80"));
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
}

void SongFormWindow::readInto(Row& r) const {
    const auto text = [&](const char* name, const QString& value) { r.setText(f(name), value); };
    const auto number = [&](const char* name, const QVariant& value) { r.setNumber(f(name), value.toLongLong()); };
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
    text("EndType", m_slow->isChecked() ? "Slow" : m_fast->isChecked() ? "Fast" : m_abrupt->isChecked() ? "Abrupt" : "");
    text("Recording", m_recording->toPlainText());
    text("Composer", m_composer->text());
    text("PerformanceNotes", m_performance->toPlainText());
    text("UserDefinedKeyField", m_udk->text());
    for (int i = 0; i < 3; ++i) {
        r.setText(f("AdditionalInformation1") + i, m_info[i]->text());
    }
    text("Notes", m_notes->toPlainText());
}

bool SongFormWindow::acceptFields() {
    readInto(m_record);
    // The checks run in tab order; the first that fails keeps the focus.
    if (!m_rules.checkMedia(m_record)) {
        m_tabs->setCurrentIndex(0);
        m_media->setFocus();
        return false;
    }
    m_rules.applyTimeRule(m_record);
    m_time->setValue(m_record.value(f("Time")));
    if (!m_rules.checkCategory(m_record, m_category->currentText())) {
        m_tabs->setCurrentIndex(0);
        m_category->setFocus();
        return false;
    }
    if (m_category->findText(m_category->currentText(), Qt::MatchFixedString) < 0) {
        m_category->clear();
        for (const CategoryChoice& c : m_rules.categoryChoices()) {
            m_category->addItem(c.name, c.id);
        }
        m_category->setEditText(m_rules.categoryName(m_record.number(f("CategoryID"))));
    }
    int failing = -1;
    if (!m_rules.checkRanges(m_record, &failing)) {
        m_tabs->setCurrentIndex(0);
        PictureEdit* edit = failing == f("TrackNumber") ? m_track : failing == f("ChartNumber") ? m_chart : m_rating;
        edit->setFocus();
        edit->selectAll();
        return false;
    }
    return true;
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
