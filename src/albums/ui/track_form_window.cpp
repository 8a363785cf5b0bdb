// The track form of an add wizard.
#include "albums/ui/track_form_window.h"

#include "catalogue/song_rules.h"
#include "catalogue/ui/lookup_form_window.h"
#include "catalogue/ui/picture_edit.h"
#include "ui/ok_cancel_row.h"

#include <QApplication>
#include <QFormLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

#include <optional>

namespace tunarium {

namespace {

// The row the track form saved last, in this run of the program.
std::optional<Row>& lastSaved() {
    static std::optional<Row> row;
    return row;
}

constexpr int kDittoVirtualKey = 192;

} // namespace

TrackFormWindow::TrackFormWindow(Database& db, WizardTracks& tracks, bool withArtist,
                                 const QString& positionFile, Request request, const Row& current,
                                 QWidget* caller, Done done)
    : FormWindow(withArtist ? QStringLiteral("UpdateAddWizard") : QStringLiteral("UpdateAddWizardNoArtist"),
                 positionFile, caller, std::move(done)),
      m_db(db), m_rules(tracks), m_session(db, m_rules, request), m_withArtist(withArtist),
      m_record(current) {
    setWindowTitle(QStringLiteral("Tracks"));
}

bool TrackFormWindow::start(QMdiArea* area) {
    if (!startSession(m_db, {TableId::AddWizard}, m_session, m_record)) {
        finish(m_session.response());
        return false;
    }
    build();
    display();
    setWindowTitle(m_session.request() == Request::Insert
                       ? QStringLiteral("Track Will Be Added  (New)")
                       : QStringLiteral("Track Will Be Changed  (%1)").arg(m_record.number(aw::kTrack)));
    resize(sizeHint());
    present(area);
    (m_artist ? m_artist : m_title)->setFocus();
    return true;
}

void TrackFormWindow::build() {
    auto* fields = new QFormLayout;
    if (m_withArtist) {
        m_artist = new PictureEdit(TableId::AddWizard, aw::kArtist);
        fields->addRow(QStringLiteral("&Artist:"), m_artist);
    }
    m_title = new PictureEdit(TableId::AddWizard, aw::kTitle);
    fields->addRow(QStringLiteral("&Title:"), m_title);
    m_time = new PictureEdit(TableId::Tunarium, tun::kTime);
    fields->addRow(QStringLiteral("T&ime:"), m_time);
    m_track = new PictureEdit(TableId::AddWizard, aw::kTrack);
    fields->addRow(QStringLiteral("Track:"), m_track);
    for (PictureEdit* field : {m_title, m_time, m_track}) {
        field->installEventFilter(this);
    }

    const OkCancelRow buttons = makeOkCancelRow(this, [this] { accept(); }, [this] { cancelRequested(); });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addStretch();
    layout->addLayout(buttons.layout);
}

void TrackFormWindow::display() {
    if (m_artist) {
        m_artist->setValue(m_record.value(aw::kArtist));
    }
    m_title->setValue(m_record.value(aw::kTitle));
    m_time->setValue(m_record.value(aw::kTime));
    m_track->setValue(m_record.value(aw::kTrack));
}

void TrackFormWindow::accept() {
    // Letters in Time or Track: refused, the length read from the disc kept.
    if (refuseUnreadable({m_time, m_track}, m_db.prompter(), windowTitle())) {
        return;
    }
    if (m_artist) {
        m_record.setText(aw::kArtist, m_artist->text());
    }
    m_record.setText(aw::kTitle, m_title->text());
    m_record.setNumber(aw::kTime, m_time->value().toLongLong());
    m_record.setNumber(aw::kTrack, m_track->value().toLongLong());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const FormSession::SaveResult result = m_session.save(m_record);
    QApplication::restoreOverrideCursor();
    switch (result) {
    case FormSession::SaveResult::Closed:
        lastSaved() = m_record;
        finish(m_session.response());
        break;
    case FormSession::SaveResult::Redisplay:
        display();
        m_title->setFocus();
        break;
    case FormSession::SaveResult::StayOpen:
        m_track->setFocus();
        m_track->selectAll();
        break;
    }
}

void TrackFormWindow::ditto() {
    if (!lastSaved()) {
        return;
    }
    const Row& last = *lastSaved();
    if (m_title->hasFocus()) {
        m_title->setValue(last.value(aw::kTitle));
    } else if (m_time->hasFocus()) {
        m_time->setValue(last.value(aw::kTime));
    } else if (m_track->hasFocus()) {
        m_track->setValue(last.value(aw::kTrack));
    }
}

bool TrackFormWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers().testFlag(Qt::ControlModifier) && isVirtualKey(key, kDittoVirtualKey)) {
            ditto();
            return true;
        }
    }
    return FormWindow::eventFilter(watched, event);
}

} // namespace tunarium
