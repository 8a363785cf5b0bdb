// The Add Label wizard.
#include "reports/ui/label_wizard_window.h"

#include "data/app_paths.h"
#include "data/table_lease.h"
#include "playlists/procedure_names.h"
#include "reports/procedure_names.h"
#include "reports/ui/label_memo.h"
#include "reports/ui/label_output.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace tunarium {

namespace {

bool compactDisc(const QComboBox* type) {
    return type->currentText() == QLatin1String("CD");
}

QWidget* textPage(const QString& question, QPlainTextEdit*& edit) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* caption = new QLabel(question);
    caption->setWordWrap(true);
    edit = makeMemo(12);
    layout->addWidget(caption);
    layout->addWidget(edit, 1);
    return page;
}

} // namespace

LabelWizardWindow::LabelWizardWindow(const ProcedureContext& context)
    : FormWindow(QString::fromLatin1(procedure::kLabelWizard), positionFilePath(context.db.collectionDir()),
                 windowCaller(context), {}),
      m_context(context), m_rules(context.db), m_session(context.db, m_rules, Request::Insert),
      m_record(TableId::Labels) {
    setWindowTitle(QStringLiteral("Add Label Wizard"));
}

LabelWizardWindow* LabelWizardWindow::openWizard(const ProcedureContext& context) {
    auto* window = new LabelWizardWindow(context);
    if (context.answer) {
        // The caller (the labels browse) is told the label the wizard added, to select it.
        window->setDone([answer = context.answer, added = window->m_added](Response response) {
            answer(static_cast<int>(response), *added);
        });
    }
    if (!window->startSession(context.db, {TableId::Labels, TableId::Fonts}, window->m_session,
                              window->m_record)) {
        window->finish(window->m_session.response());
        return nullptr;
    }
    window->m_stack = new QStackedWidget;
    for (LabelWizardPage p : {LabelWizardPage::Introduction, LabelWizardPage::LabelType,
                              LabelWizardPage::Source, LabelWizardPage::General, LabelWizardPage::FrontCover,
                              LabelWizardPage::BackCover, LabelWizardPage::SideA, LabelWizardPage::SideB}) {
        QWidget* page = window->makePage(p);
        window->m_pageWidgets.insert(static_cast<int>(p), page);
        window->m_stack->addWidget(page);
    }
    window->m_back = new QPushButton(QStringLiteral("&Back"));
    window->m_next = new QPushButton(QStringLiteral("&Next"));
    window->m_finish = new QPushButton(QStringLiteral("&Finish"));
    auto* preview = new QPushButton(QStringLiteral("Preview"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"));
    for (QPushButton* b : {window->m_back, preview, cancel}) {
        b->setAutoDefault(false);
    }
    window->m_next->setDefault(true);
    connect(window->m_back, &QPushButton::clicked, window, &LabelWizardWindow::back);
    connect(window->m_next, &QPushButton::clicked, window, &LabelWizardWindow::next);
    connect(window->m_finish, &QPushButton::clicked, window, &LabelWizardWindow::finishWizard);
    connect(preview, &QPushButton::clicked, window,
            [window] { previewLabel(window->m_context.calledFrom(window), window->shownLabel()); });
    connect(cancel, &QPushButton::clicked, window, &LabelWizardWindow::cancelRequested);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(preview);
    buttons->addStretch();
    buttons->addWidget(window->m_back);
    buttons->addWidget(window->m_next);
    buttons->addWidget(window->m_finish);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(window);
    layout->addWidget(window->m_stack, 1);
    layout->addLayout(buttons);
    window->show(window->m_record);
    window->showPage();
    window->resize(window->sizeHint());
    window->present(context.workspace);
    return window;
}

QWidget* LabelWizardWindow::makePage(LabelWizardPage page) {
    auto* widget = new QWidget;
    auto* layout = new QVBoxLayout(widget);
    switch (page) {
    case LabelWizardPage::Introduction: {
        auto* text = new QLabel(QStringLiteral(
            "<h3>Add Label Wizard</h3><p>This wizard makes a new CD or cassette label. Choose its type, fill "
            "its "
            "texts in one step from an album or from a file number, and change them as you like on the pages "
            "that follow.</p><p>Press Next to begin.</p>"));
        text->setWordWrap(true);
        layout->addWidget(text);
        break;
    }
    case LabelWizardPage::LabelType: {
        layout->addWidget(new QLabel(QStringLiteral("<b>Step 1:  Select a label type</b>")));
        m_type = new QComboBox;
        m_type->addItems({QStringLiteral("CD"), QStringLiteral("Cassette")});
        auto* form = new QFormLayout;
        form->addRow(QStringLiteral("&Label Type:"), m_type);
        layout->addLayout(form);
        break;
    }
    case LabelWizardPage::Source: {
        layout->addWidget(new QLabel(QStringLiteral("<b>Step 2:  Select information using either an</b>")));
        layout->addWidget(new QLabel(QStringLiteral("<b>Album Title or File Number</b>")));
        m_selectAlbum = new QPushButton(QStringLiteral("&Select Album"));
        m_selectNumber = new QPushButton(QStringLiteral("&Select File Number"));
        m_selectAlbum->setEnabled(
            m_context.procedures.contains(QString::fromLatin1(procedure::kSelectAlbum)));
        m_selectNumber->setEnabled(
            m_context.procedures.contains(QString::fromLatin1(procedure::kSelectFileNumber)));
        connect(m_selectAlbum, &QPushButton::clicked, this, [this] { select(procedure::kSelectAlbum); });
        connect(m_selectNumber, &QPushButton::clicked, this,
                [this] { select(procedure::kSelectFileNumber); });
        for (QPushButton* b : {m_selectAlbum, m_selectNumber}) {
            b->setAutoDefault(false);
            layout->addWidget(b, 0, Qt::AlignLeft);
        }
        break;
    }
    case LabelWizardPage::General: {
        layout->addWidget(new QLabel(QStringLiteral("<b>General</b>")));
        auto* form = new QFormLayout;
        m_generalForm = form;
        m_description = new QLineEdit;
        m_description->setMaxLength(30);
        m_spine = new QLineEdit;
        m_spine->setMaxLength(100);
        m_title = makeMemo(2);
        m_flap = makeMemo(2);
        form->addRow(QStringLiteral("&Description:"), m_description);
        form->addRow(QStringLiteral("&Spine:"), m_spine);
        form->addRow(QStringLiteral("&Title:"), m_title);
        form->addRow(QStringLiteral("&Flap:"), m_flap);
        layout->addLayout(form);
        break;
    }
    case LabelWizardPage::FrontCover:
        return textPage(QStringLiteral("What should be on the front cover of the CD?"), m_inside);
    case LabelWizardPage::BackCover:
        return textPage(QStringLiteral("What should be on the back cover of the CD?"), m_cover);
    case LabelWizardPage::SideA:
        return textPage(QStringLiteral("What are the songs on Side A of the cassette?"), m_sideA);
    case LabelWizardPage::SideB:
        return textPage(QStringLiteral("What are the songs on Side B of the cassette?"), m_sideB);
    }
    layout->addStretch();
    return widget;
}

void LabelWizardWindow::showPage() {
    m_pages = labelWizardPages(compactDisc(m_type));
    m_index = std::clamp(m_index, 0, static_cast<int>(m_pages.size()) - 1);
    const LabelWizardPage p = m_pages[m_index];
    m_stack->setCurrentWidget(m_pageWidgets.value(static_cast<int>(p)));
    const bool cd = compactDisc(m_type);
    m_generalForm->setRowVisible(m_spine, cd);
    m_generalForm->setRowVisible(m_flap, !cd);
    m_back->setEnabled(m_index > 0);
    m_next->setEnabled(m_index + 1 < m_pages.size());
    m_finish->setEnabled(m_index >= 2);
}

void LabelWizardWindow::next() {
    if (m_index + 1 < m_pages.size()) {
        ++m_index;
        showPage();
    }
}

void LabelWizardWindow::back() {
    if (m_index > 0) {
        --m_index;
        showPage();
    }
}

void LabelWizardWindow::show(const Row& label) {
    const int type = m_type->findText(label.text(lab::kLabelType).trimmed());
    m_type->setCurrentIndex(type < 0 ? 1 : type);
    m_description->setText(trimTrailingBlanks(label.text(lab::kLabelDescription)));
    m_spine->setText(trimTrailingBlanks(label.text(lab::kCdSpine)));
    const bool cd = compactDisc(m_type);
    m_title->setPlainText(memoShown(label.text(cd ? lab::kCdTitle : lab::kCassetteTitle)));
    m_flap->setPlainText(memoShown(label.text(lab::kCassetteFlap)));
    m_inside->setPlainText(memoShown(label.text(lab::kCdInsideText)));
    m_cover->setPlainText(memoShown(label.text(lab::kCdCoverText)));
    m_sideA->setPlainText(memoShown(label.text(lab::kCassetteContentsA)));
    m_sideB->setPlainText(memoShown(label.text(lab::kCassetteContentsB)));
}

Row LabelWizardWindow::shownLabel() const {
    Row label = m_record;
    const bool cd = compactDisc(m_type);
    label.setText(lab::kLabelType, m_type->currentText());
    label.setText(lab::kLabelDescription, m_description->text());
    label.setText(lab::kCdSpine, m_spine->text());
    if (cd) {
        label.setText(lab::kCdTitle, m_title->toPlainText().simplified());
    } else {
        label.setText(lab::kCassetteTitle, memoStored(m_title));
    }
    label.setText(lab::kCassetteFlap, memoStored(m_flap));
    label.setText(lab::kCdInsideText, memoStored(m_inside));
    label.setText(lab::kCdCoverText, memoStored(m_cover));
    label.setText(lab::kCassetteContentsA, memoStored(m_sideA));
    label.setText(lab::kCassetteContentsB, memoStored(m_sideB));
    return label;
}

void LabelWizardWindow::select(const char* name) {
    ProcedureContext context = m_context.calledFrom(this);
    QPointer<LabelWizardWindow> self(this);
    context.answer = [self](int response, const Row& chosen) {
        if (!self || response != static_cast<int>(Response::Completed) || chosen.size() == 0) {
            return;
        }
        if (chosen.tableId() == TableId::Album) {
            self->fillFromAlbum(chosen);
        } else if (chosen.tableId() == TableId::Tunarium) {
            self->fillFromFileNumber(chosen);
        }
    };
    m_context.procedures.start(QString::fromLatin1(name), context);
}

void LabelWizardWindow::filled(const LabelFill& fill, const Row& label) {
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

void LabelWizardWindow::fillFromAlbum(const Row& album) {
    Row label = shownLabel();
    TableLease songs(m_context.db, {TableId::Tunarium});
    if (!songs) {
        return;
    }
    const LabelFill fill =
        fillLabelFromAlbum(m_context.db.store(), album,
                           {m_context.settings.labelArtistFirst(), m_context.settings.delimiter()}, label);
    songs.release();
    m_source = LabelFillSource::Album;
    filled(fill, label);
}

void LabelWizardWindow::fillFromFileNumber(const Row& song) {
    Row label = shownLabel();
    TableLease songs(m_context.db, {TableId::Tunarium});
    if (!songs) {
        return;
    }
    const LabelFill fill = fillLabelFromFileNumber(
        m_context.db.store(), song, {m_context.settings.labelArtistFirst(), m_context.settings.delimiter()},
        label);
    songs.release();
    m_source = LabelFillSource::Number;
    filled(fill, label);
}

void LabelWizardWindow::finishWizard() {
    if (m_description->text().trimmed().isEmpty()) {
        m_context.prompter.message({QStringLiteral("Add Label Wizard"),
                                    QStringLiteral("Please give the label a description."),
                                    PromptIcon::Exclamation, kButtonOk, kButtonOk});
        m_index = static_cast<int>(m_pages.indexOf(LabelWizardPage::General));
        showPage();
        m_description->setFocus();
        return;
    }
    m_record = shownLabel();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const FormSession::SaveResult result = m_session.save(m_record);
    QApplication::restoreOverrideCursor();
    if (result == FormSession::SaveResult::Closed) {
        *m_added = m_record;
        finish(m_session.response());
    } else if (result == FormSession::SaveResult::Redisplay) {
        show(m_record);
    }
}

} // namespace tunarium
