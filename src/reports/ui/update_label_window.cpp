// The label form.
#include "reports/ui/update_label_window.h"

#include "data/app_paths.h"
#include "data/pictures.h"
#include "data/table_lease.h"
#include "reports/label_font.h"
#include "reports/label_layout.h"
#include "reports/procedure_names.h"
#include "reports/ui/label_memo.h"
#include "reports/ui/label_output.h"
#include "ui/ok_cancel_row.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tunarium {

namespace {

const QStringList kJustifications{QStringLiteral("Left"), QStringLiteral("Center"), QStringLiteral("Right")};
const QStringList kSizeKinds{QStringLiteral("Actual"), QStringLiteral("Thumbnail"), QStringLiteral("Other")};

QComboBox* justification() {
    auto* box = new QComboBox;
    box->addItems(kJustifications);
    return box;
}

void choose(QComboBox* box, const QString& text) {
    const int index = box->findText(text.trimmed(), Qt::MatchFixedString);
    box->setCurrentIndex(index < 0 ? 0 : index);
}

} // namespace

UpdateLabelWindow::UpdateLabelWindow(const ProcedureContext& context, Request request, const Row& label,
                                     Answer done)
    : UpdateLabelWindow(context, request, label, std::move(done), std::make_shared<Row>()) {}

UpdateLabelWindow::UpdateLabelWindow(const ProcedureContext& context, Request request, const Row& label,
                                     Answer done, std::shared_ptr<Row> answered)
    : FormWindow(QString::fromLatin1(procedure::kUpdateLabels), positionFilePath(context.db.collectionDir()),
                 windowCaller(context),
                 [answered, done = std::move(done)](Response response) {
                     if (done) {
                         done(response, *answered);
                     }
                 }),
      m_context(context), m_rules(context.db), m_session(context.db, m_rules, request), m_record(label),
      m_answered(std::move(answered)) {
    setWindowTitle(QStringLiteral("Update Label"));
}

bool UpdateLabelWindow::start(QMdiArea* area) {
    if (m_record.tableId() != TableId::Labels || m_record.size() == 0) {
        m_record = Row(TableId::Labels);
    }
    const bool opens = startSession(m_context.db, {TableId::Labels, TableId::Fonts}, m_session, m_record);
    *m_answered = m_record;
    if (!opens) {
        finish(m_session.response());
        return false;
    }
    build();
    show(m_record);
    setWindowTitle(m_session.request() == Request::Change ? QStringLiteral("Changing a Label")
                                                          : QStringLiteral("Update Label"));
    resize(sizeHint());
    setMinimumSize(minimumSizeHint());
    present(area);
    m_description->setFocus();
    return true;
}

QWidget* UpdateLabelWindow::fontRow(int fontField) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* button = new QPushButton(QStringLiteral("Select Font"));
    button->setAutoDefault(false);
    button->setToolTip(QStringLiteral("Select font for this element"));
    button->setEnabled(m_context.procedures.contains(QString::fromLatin1(procedure::kSelectFont)));
    connect(button, &QPushButton::clicked, this, [this, fontField] { selectFont(fontField); });
    auto* line = new QLabel;
    line->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(button);
    layout->addWidget(line, 1);
    m_elements.push_back({fontField, line, button});
    return row;
}

void UpdateLabelWindow::build() {
    m_tabs = new QTabWidget;

    m_general = new QWidget;
    auto* general = new QFormLayout;
    auto* generalPage = new QVBoxLayout(m_general);
    generalPage->addLayout(general);
    generalPage->addStretch();
    m_forms << general;
    m_type = new QComboBox;
    m_type->addItems({QStringLiteral("CD"), QStringLiteral("Cassette")});
    connect(m_type, &QComboBox::currentIndexChanged, this, &UpdateLabelWindow::typeChanged);
    general->addRow(QStringLiteral("Label &Type:"), m_type);
    m_description = new QLineEdit;
    m_description->setMaxLength(30);
    general->addRow(QStringLiteral("&Description:"), m_description);
    m_spine = new QLineEdit;
    m_spine->setMaxLength(100);
    general->addRow(QStringLiteral("&Spine:"), m_spine);
    QWidget* spineFont = fontRow(lab::kCdSpineFontId);
    general->addRow(QString(), spineFont);
    m_cdTitle = new QLineEdit;
    m_cdTitle->setMaxLength(100);
    general->addRow(QStringLiteral("&Title:"), m_cdTitle);
    QWidget* cdTitleFont = fontRow(lab::kCdTitleFontId);
    general->addRow(QString(), cdTitleFont);
    m_cassetteTitle = makeMemo(3);
    general->addRow(QStringLiteral("&Title:"), m_cassetteTitle);
    QWidget* cassetteTitleFont = fontRow(lab::kCassetteTitleFontId);
    general->addRow(QString(), cassetteTitleFont);
    m_flap = makeMemo(3);
    general->addRow(QStringLiteral("&Flap:"), m_flap);
    QWidget* flapFont = fontRow(lab::kCassetteFlapFontId);
    general->addRow(QString(), flapFont);
    auto* imageRow = new QHBoxLayout;
    m_image = new QLineEdit;
    m_image->setMaxLength(255);
    connect(m_image, &QLineEdit::editingFinished, this, &UpdateLabelWindow::checkPicture);
    auto* selectFile = new QPushButton(QStringLiteral("Select File"));
    selectFile->setAutoDefault(false);
    connect(selectFile, &QPushButton::clicked, this, &UpdateLabelWindow::selectPicture);
    imageRow->addWidget(m_image, 1);
    imageRow->addWidget(selectFile);
    auto* imageCaption = new QLabel(QStringLiteral("&Image:"));
    imageCaption->setBuddy(m_image);
    general->addRow(imageCaption, imageRow);
    m_pictureNote = new QLabel;
    m_pictureNote->setWordWrap(true);
    m_pictureNote->setStyleSheet(QStringLiteral("color: #a00000"));
    general->addRow(QString(), m_pictureNote);
    m_cdOnly = {m_spine, spineFont, m_cdTitle, cdTitleFont};
    m_cassetteOnly = {m_cassetteTitle, cassetteTitleFont, m_flap, flapFont};
    m_tabs->addTab(m_general, QStringLiteral("General"));

    auto textTab = [this](QPlainTextEdit*& edit, int fontField, const QString& caption) {
        auto* tab = new QWidget;
        auto* layout = new QVBoxLayout(tab);
        edit = makeMemo(10);
        layout->addWidget(edit, 1);
        layout->addWidget(fontRow(fontField));
        m_tabs->addTab(tab, caption);
        return tab;
    };
    m_frontTab = textTab(m_inside, lab::kCdInsideTextFontId, QStringLiteral("Front Cover"));
    m_backTab = textTab(m_cover, lab::kCdCoverTextFontId, QStringLiteral("Back Cover"));

    auto* position = new QWidget;
    auto* positionLayout = new QFormLayout(position);
    m_forms << positionLayout;
    m_spineJustification = justification();
    m_textJustification = justification();
    m_backJustification = justification();
    positionLayout->addRow(QStringLiteral("Spine:"), m_spineJustification);
    positionLayout->addRow(QStringLiteral("Title and Front Cover:"), m_textJustification);
    positionLayout->addRow(QStringLiteral("Back Cover:"), m_backJustification);
    auto coordinate = [] {
        auto* spin = new QSpinBox;
        spin->setRange(0, 99999);
        return spin;
    };
    m_x = coordinate();
    m_y = coordinate();
    positionLayout->addRow(new QLabel(QStringLiteral("<b>Image Position</b>")));
    positionLayout->addRow(QStringLiteral("X-Axis:"), m_x);
    positionLayout->addRow(QString(), new QLabel(QStringLiteral("1000ths of an inch from left")));
    positionLayout->addRow(QStringLiteral("Y-Axis:"), m_y);
    positionLayout->addRow(QString(), new QLabel(QStringLiteral("1000ths of an inch from top")));
    auto* sizeRow = new QHBoxLayout;
    m_size = new QButtonGroup(this);
    for (int i = 0; i < kSizeKinds.size(); ++i) {
        auto* option = new QRadioButton(kSizeKinds[i]);
        m_size->addButton(option, i);
        sizeRow->addWidget(option);
    }
    positionLayout->addRow(QStringLiteral("Size:"), sizeRow);
    m_width = coordinate();
    m_height = new QLineEdit;
    m_height->setMaxLength(20);
    positionLayout->addRow(QStringLiteral("Width:"), m_width);
    positionLayout->addRow(QStringLiteral("Height:"), m_height);
    m_tabs->addTab(position, QStringLiteral("Position"));
    m_cdOnly << m_spineJustification << m_textJustification << m_backJustification;

    m_sideATab = textTab(m_sideA, lab::kCassetteContentsFontId, QStringLiteral("Side A"));
    m_sideBTab = textTab(m_sideB, lab::kCassetteContentsFontId, QStringLiteral("Side B"));

    auto* previewButton = new QPushButton(QStringLiteral("Preview"));
    previewButton->setAutoDefault(false);
    connect(previewButton, &QPushButton::clicked, this, &UpdateLabelWindow::preview);
    const OkCancelRow buttons = makeOkCancelRow(
        this, [this] { accept(); }, [this] { cancelRequested(); }, QStringLiteral("Cancel"), {previewButton});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons.layout);
}

void UpdateLabelWindow::show(const Row& label) {
    choose(m_type, label.text(lab::kLabelType).trimmed().isEmpty() ? QStringLiteral("Cassette")
                                                                   : label.text(lab::kLabelType));
    m_description->setText(trimTrailingBlanks(label.text(lab::kLabelDescription)));
    m_spine->setText(trimTrailingBlanks(label.text(lab::kCdSpine)));
    m_cdTitle->setText(trimTrailingBlanks(label.text(lab::kCdTitle)));
    m_cassetteTitle->setPlainText(memoShown(label.text(lab::kCassetteTitle)));
    m_flap->setPlainText(memoShown(label.text(lab::kCassetteFlap)));
    m_image->setText(trimTrailingBlanks(label.text(lab::kImageName)));
    m_inside->setPlainText(memoShown(label.text(lab::kCdInsideText)));
    m_cover->setPlainText(memoShown(label.text(lab::kCdCoverText)));
    m_sideA->setPlainText(memoShown(label.text(lab::kCassetteContentsA)));
    m_sideB->setPlainText(memoShown(label.text(lab::kCassetteContentsB)));
    choose(m_spineJustification, label.text(lab::kCdSpineJustification));
    choose(m_textJustification, label.text(lab::kCdTextJustification));
    choose(m_backJustification, label.text(lab::kCdBackCoverJustification));
    m_x->setValue(static_cast<int>(std::clamp<qint64>(label.number(lab::kImagePositionX), 0, 99999)));
    m_y->setValue(static_cast<int>(std::clamp<qint64>(label.number(lab::kImagePositionY), 0, 99999)));
    const qsizetype kind = kSizeKinds.indexOf(label.text(lab::kImageSize).trimmed());
    m_size->button(kind < 0 ? 1 : static_cast<int>(kind))->setChecked(true);
    m_width->setValue(static_cast<int>(std::clamp<qint64>(label.number(lab::kImageSizeX), 0, 99999)));
    m_height->setText(trimTrailingBlanks(label.text(lab::kImageSizeY)));
    for (const Element& e : m_elements) {
        m_fonts[e.field] = label.number(e.field);
    }
    refreshFontLines();
    checkPicture();
    typeChanged();
}

Row UpdateLabelWindow::shownLabel() const {
    Row label = m_record;
    label.setText(lab::kLabelType, m_type->currentText());
    label.setText(lab::kLabelDescription, m_description->text());
    label.setText(lab::kCdSpine, m_spine->text());
    label.setText(lab::kCdTitle, m_cdTitle->text());
    label.setText(lab::kCassetteTitle, memoStored(m_cassetteTitle));
    label.setText(lab::kCassetteFlap, memoStored(m_flap));
    label.setText(lab::kImageName, m_image->text());
    label.setText(lab::kCdInsideText, memoStored(m_inside));
    label.setText(lab::kCdCoverText, memoStored(m_cover));
    label.setText(lab::kCassetteContentsA, memoStored(m_sideA));
    label.setText(lab::kCassetteContentsB, memoStored(m_sideB));
    label.setText(lab::kCdSpineJustification, m_spineJustification->currentText());
    label.setText(lab::kCdTextJustification, m_textJustification->currentText());
    label.setText(lab::kCdBackCoverJustification, m_backJustification->currentText());
    label.setNumber(lab::kImagePositionX, m_x->value());
    label.setNumber(lab::kImagePositionY, m_y->value());
    label.setText(lab::kImageSize, kSizeKinds.value(m_size->checkedId(), QStringLiteral("Thumbnail")));
    label.setNumber(lab::kImageSizeX, m_width->value());
    label.setText(lab::kImageSizeY, m_height->text());
    for (auto it = m_fonts.cbegin(); it != m_fonts.cend(); ++it) {
        label.setNumber(it.key(), it.value());
    }
    return label;
}

void UpdateLabelWindow::typeChanged() {
    const bool cd = m_type->currentText() == QLatin1String("CD");
    // Each element is a row of a form layout: its caption goes and comes with it.
    auto showRow = [this](QWidget* w, bool on) {
        for (QFormLayout* form : m_forms) {
            if (form->indexOf(w) >= 0) {
                form->setRowVisible(w, on);
            }
        }
    };
    for (QWidget* w : m_cdOnly) {
        showRow(w, cd);
    }
    for (QWidget* w : m_cassetteOnly) {
        showRow(w, !cd);
    }
    m_tabs->setTabVisible(m_tabs->indexOf(m_frontTab), cd);
    m_tabs->setTabVisible(m_tabs->indexOf(m_backTab), cd);
    m_tabs->setTabVisible(m_tabs->indexOf(m_sideATab), !cd);
    m_tabs->setTabVisible(m_tabs->indexOf(m_sideBTab), !cd);
}

QString UpdateLabelWindow::fontLine(int fontField) const {
    for (const Element& e : m_elements) {
        if (e.field == fontField) {
            return e.line->text();
        }
    }
    return {};
}

void UpdateLabelWindow::refreshFontLines() {
    for (const Element& e : m_elements) {
        const qint64 id = m_fonts.value(e.field);
        e.line->setText(id == 0 ? QStringLiteral("No Selected Font")
                                : fontDescription(m_context.db.store(), id));
    }
}

void UpdateLabelWindow::setFont(int fontField, qint64 fontId) {
    m_fonts[fontField] = fontId;
    refreshFontLines();
}

void UpdateLabelWindow::selectFont(int fontField) {
    ProcedureContext context = m_context.calledFrom(this).with(m_fonts.value(fontField));
    QPointer<UpdateLabelWindow> self(this);
    context.answer = [self, fontField](int response, const Row& chosen) {
        if (self && response == static_cast<int>(Response::Completed) && chosen.tableId() == TableId::Fonts &&
            chosen.size() > 0) {
            self->setFont(fontField, chosen.number(fon::kFontId));
        }
    };
    m_context.procedures.start(QString::fromLatin1(procedure::kSelectFont), context);
}

void UpdateLabelWindow::selectPicture() {
    const QString file = m_context.prompter.chooseOpenFile(
        QStringLiteral("Choose a File"), fileDialogFolder(m_context.settings.filePath()),
        QStringLiteral(
            "All Files|*.*|GIF Files|*.GIF|BMP Files|*.BMP|JPEG Files|*.JPG|Windows Metafiles|*.WMF"));
    if (file.isEmpty()) {
        return;
    }
    rememberFileDialogFolder(file, m_context.settings.filePath());
    m_image->setText(file);
    checkPicture();
}

void UpdateLabelWindow::checkPicture() {
    m_pictureNote->setText(pictureProblem(m_image->text()));
    m_pictureNote->setVisible(!m_pictureNote->text().isEmpty());
}

void UpdateLabelWindow::fillFromAlbum(const Row& album) {
    Row label = shownLabel();
    TableLease songs(m_context.db, {TableId::Tunarium});
    if (!songs) {
        return;
    }
    const LabelFill fill =
        fillLabelFromAlbum(m_context.db.store(), album,
                           {m_context.settings.labelArtistFirst(), m_context.settings.delimiter()}, label);
    songs.release();
    // The label keeps what the fill set beyond the fields shown (the album it was filled from).
    m_record = label;
    show(label);
    if (!fill.error.ok()) {
        m_context.db.warnings().report(warning::kRecordRetrievalError, fill.error,
                                       QStringLiteral("Tunarium"));
    } else if (fill.tracks > 0) {
        m_context.prompter.message({QStringLiteral("Processing Complete"),
                                    QStringLiteral("The text has been updated to use this information."),
                                    PromptIcon::Information, kButtonOk, kButtonOk});
    }
}

void UpdateLabelWindow::preview() {
    previewLabel(m_context.calledFrom(this), shownLabel());
}

void UpdateLabelWindow::accept() {
    if (m_description->text().trimmed().isEmpty()) {
        // The list finds labels by their descriptions; one without would be missing from it.
        m_context.prompter.message({QStringLiteral("Update Label"),
                                    QStringLiteral("Please give the label a description."),
                                    PromptIcon::Exclamation, kButtonOk, kButtonOk});
        m_tabs->setCurrentWidget(m_general);
        m_description->setFocus();
        return;
    }
    const std::optional<QVariant> height = Picture::parse(u"@n5").read(m_height->text());
    if (!height || height->toLongLong() < 0) {
        // The height is a number of 1000ths of an inch, kept as text: letters would print nothing.
        m_context.prompter.message({QStringLiteral("Update Label"),
                                    QStringLiteral("Height: \"%1\" cannot be read. Type a whole number "
                                                   "(1000ths of an inch).")
                                        .arg(m_height->text()),
                                    PromptIcon::Exclamation, kButtonOk, kButtonOk});
        m_tabs->setCurrentIndex(m_tabs->indexOf(m_height->parentWidget()));
        m_height->setFocus();
        m_height->selectAll();
        return;
    }
    m_record = shownLabel();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const FormSession::SaveResult result = m_session.save(m_record);
    QApplication::restoreOverrideCursor();
    *m_answered = m_record;
    switch (result) {
    case FormSession::SaveResult::Closed:
        finish(m_session.response());
        break;
    case FormSession::SaveResult::Redisplay:
        show(m_record);
        m_description->setFocus();
        break;
    case FormSession::SaveResult::StayOpen:
        m_description->setFocus();
        break;
    }
}

} // namespace tunarium
