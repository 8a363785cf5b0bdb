// The song form's tabs and controls.
#include "catalogue/ui/song_form_tabs.h"

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

    return page;
}

QWidget* SongFormTabs::buildRecording() {
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

QWidget* SongFormTabs::buildCustom() {
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

QWidget* SongFormTabs::buildNotes() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    m_notes = memoEdit();
    layout->addWidget(m_notes);
    return page;
}

void SongFormTabs::display(const Row& r, const QString& categoryName) {
    m_artist->setValue(r.value(f("Artist")));
    m_title->setValue(r.value(f("Title")));
    m_album->setValue(r.value(f("Album")));
    m_media->setCurrentIndex(m_media->findText(r.text(f("Media")), Qt::MatchFixedString));
    m_time->setValue(r.value(f("Time")));
    m_fileNumber->setValue(r.value(f("FileNumber")));
    m_releaseDate->setValue(r.value(f("ReleaseDate")));
    m_category->setEditText(categoryName);
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

void SongFormTabs::readInto(Row& r) const {
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
