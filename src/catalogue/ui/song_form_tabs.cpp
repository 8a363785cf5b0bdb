// The song form's tabs and controls.
#include "catalogue/ui/song_form_tabs.h"

#include "catalogue/musical_key.h"
#include "catalogue/ui/picture_edit.h"
#include "data/settings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tunarium {

namespace {

// An entry for a field of the songs in the field's form picture (a text as wide as the field).
PictureEdit* fieldEdit(int field) {
    return new PictureEdit(SongRules::formPicture(field));
}

int fieldWidth(TableId table, int field) {
    return tableDef(table).field(field).width;
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

SongFormTabs::SongFormTabs(const Settings& settings, QWidget* parent)
    : QTabWidget(parent), m_settings(settings) {
    addTab(buildGeneral(), QStringLiteral("&General"));
    addTab(buildRecording(), QStringLiteral("Recording/Performance"));
    addTab(buildCustom(), QStringLiteral("Custom"));
    addTab(buildNotes(), QStringLiteral("&Notes"));
}

QWidget* SongFormTabs::buildGeneral() {
    auto* page = new QWidget;
    auto* left = new QFormLayout;
    auto* right = new QFormLayout;
    m_artist = fieldEdit(tun::kArtist);
    m_title = fieldEdit(tun::kTitle);
    m_album = fieldEdit(tun::kAlbum);
    m_media = new QComboBox;
    setMinimumCharacters(m_media, fieldWidth(TableId::Media, med::kMedia));
    m_time = fieldEdit(tun::kTime);
    m_fileNumber = fieldEdit(tun::kFileNumber);
    m_releaseDate = new PictureEdit(m_settings.datePicture());
    m_category = new QComboBox;
    m_category->setEditable(true);
    m_category->setInsertPolicy(QComboBox::NoInsert);
    const int categoryWidth = fieldWidth(TableId::Categories, cat::kCategory);
    m_category->lineEdit()->setMaxLength(categoryWidth);
    setMinimumCharacters(m_category, categoryWidth);
    m_track = fieldEdit(tun::kTrackNumber);
    m_side = fieldEdit(tun::kSide);
    m_bpm = fieldEdit(tun::kBeatsPerMinute);
    m_key = fieldEdit(tun::kMusicalKey);
    m_key->setToolTip(QStringLiteral("The musical key: 8A or 12B (Camelot), Am, F#m, Bb or 1m; kept as Camelot"));
    m_chart = fieldEdit(tun::kChartNumber);
    m_mix = fieldEdit(tun::kMix);
    m_mix->setToolTip(QStringLiteral("Mix or version specific information"));
    m_style = fieldEdit(tun::kStyle);
    m_rating = fieldEdit(tun::kRating);
    m_inOut = fieldEdit(tun::kInOut);
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
    right->addRow(QStringLiteral("Key:"), m_key);
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

    return page;
}

QWidget* SongFormTabs::buildRecording() {
    auto* page = new QWidget;
    auto* layout = new QFormLayout(page);
    m_recording = memoEdit(QStringLiteral("Recording Information (Engineer, Producer, Etc)"));
    m_composer = fieldEdit(tun::kComposer);
    m_performance = memoEdit();
    layout->addRow(QStringLiteral("Recording Information:"), m_recording);
    layout->addRow(QStringLiteral("Composer:"), m_composer);
    layout->addRow(QStringLiteral("Performance Notes:"), m_performance);
    return page;
}

QWidget* SongFormTabs::buildCustom() {
    auto* page = new QWidget;
    auto* layout = new QFormLayout(page);
    m_udk = fieldEdit(tun::kUserDefinedKeyField);
    m_udk->setToolTip(
        QStringLiteral("See File/Preferences/Customization to label this field to suit your needs"));
    const QString label = m_settings.udkPrompt().trimmed();
    m_udkPrompt = new QLabel(label.isEmpty() ? QStringLiteral("User Defined Key Field:") : label + u':');
    m_udkPrompt->setBuddy(m_udk);
    layout->addRow(m_udkPrompt, m_udk);
    for (int i = 0; i < 3; ++i) {
        m_info[i] = new PictureEdit(SongRules::formPicture(tun::kAdditionalInformation1));
        layout->addRow(QStringLiteral("Additional Information %1:").arg(i + 1), m_info[i]);
    }
    return page;
}

QWidget* SongFormTabs::buildNotes() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    m_notes = memoEdit();
    layout->addWidget(m_notes);
    return page;
}

void SongFormTabs::display(const Row& r, const QString& categoryName) {
    m_artist->setValue(r.value(tun::kArtist));
    m_title->setValue(r.value(tun::kTitle));
    m_album->setValue(r.value(tun::kAlbum));
    m_media->setCurrentIndex(m_media->findText(r.text(tun::kMedia), Qt::MatchFixedString));
    m_time->setValue(r.value(tun::kTime));
    m_fileNumber->setValue(r.value(tun::kFileNumber));
    m_releaseDate->setValue(r.value(tun::kReleaseDate));
    m_category->setEditText(categoryName);
    m_track->setValue(r.value(tun::kTrackNumber));
    m_side->setValue(r.value(tun::kSide));
    m_bpm->setValue(r.value(tun::kBeatsPerMinute));
    m_key->setValue(r.value(tun::kMusicalKey));
    m_chart->setValue(r.value(tun::kChartNumber));
    m_mix->setValue(r.value(tun::kMix));
    m_style->setValue(r.value(tun::kStyle));
    m_rating->setValue(r.value(tun::kRating));
    m_inOut->setValue(r.value(tun::kInOut));
    m_skips->setChecked(r.number(tun::kSkips) != 0);
    m_doNotPlay->setChecked(r.number(tun::kDoNotPlay) != 0);
    m_live->setChecked(r.number(tun::kLive) != 0);
    const QString ending = r.text(tun::kEndType);
    m_slow->setChecked(ending == QLatin1String("Slow"));
    m_fast->setChecked(ending == QLatin1String("Fast"));
    m_abrupt->setChecked(ending == QLatin1String("Abrupt"));
    m_recording->setPlainText(r.text(tun::kRecording));
    m_composer->setValue(r.value(tun::kComposer));
    m_performance->setPlainText(r.text(tun::kPerformanceNotes));
    m_udk->setValue(r.value(tun::kUserDefinedKeyField));
    for (int i = 0; i < 3; ++i) {
        m_info[i]->setValue(r.value(tun::kAdditionalInformation1 + i));
    }
    m_notes->setPlainText(r.text(tun::kNotes));
}

void SongFormTabs::readInto(Row& r) const {
    const auto text = [&](int field, const QString& value) { r.setText(field, value); };
    const auto number = [&](int field, const QVariant& value) { r.setNumber(field, value.toLongLong()); };
    text(tun::kArtist, m_artist->text());
    text(tun::kTitle, m_title->text());
    text(tun::kAlbum, m_album->text());
    text(tun::kMedia, m_media->currentText());
    number(tun::kTime, m_time->value());
    text(tun::kFileNumber, m_fileNumber->text());
    number(tun::kReleaseDate, m_releaseDate->value());
    number(tun::kTrackNumber, m_track->value());
    number(tun::kSide, m_side->value());
    number(tun::kBeatsPerMinute, m_bpm->value());
    // A key in any spelling is kept as Camelot; a text that names no key is kept as typed.
    const QString key = camelotKey(m_key->text());
    text(tun::kMusicalKey, key.isEmpty() ? m_key->text() : key);
    number(tun::kChartNumber, m_chart->value());
    text(tun::kMix, m_mix->text());
    text(tun::kStyle, m_style->text());
    number(tun::kRating, m_rating->value());
    text(tun::kInOut, m_inOut->text());
    number(tun::kSkips, m_skips->isChecked() ? 1 : 0);
    number(tun::kDoNotPlay, m_doNotPlay->isChecked() ? 1 : 0);
    number(tun::kLive, m_live->isChecked() ? 1 : 0);
    text(tun::kEndType, m_slow->isChecked()     ? "Slow"
                        : m_fast->isChecked()   ? "Fast"
                        : m_abrupt->isChecked() ? "Abrupt"
                                                : "");
    text(tun::kRecording, m_recording->toPlainText());
    text(tun::kComposer, m_composer->text());
    text(tun::kPerformanceNotes, m_performance->toPlainText());
    text(tun::kUserDefinedKeyField, m_udk->text());
    for (int i = 0; i < 3; ++i) {
        r.setText(tun::kAdditionalInformation1 + i, m_info[i]->text());
    }
    text(tun::kNotes, m_notes->toPlainText());
}

QWidget* SongFormTabs::checkedControl(SongCheck check) const {
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

QString SongFormTabs::controlText(SongCheck check) const {
    if (QWidget* control = checkedControl(check)) {
        if (auto* box = qobject_cast<QComboBox*>(control)) {
            return box->currentText();
        }
        return static_cast<QLineEdit*>(control)->text();
    }
    return {};
}

} // namespace tunarium
