// The favourite fonts list and its two forms.
#include "reports/ui/favorite_fonts_window.h"

#include "data/app_paths.h"
#include "data/font_style.h"
#include "data/pictures.h"
#include "data/table_lease.h"
#include "reports/procedure_names.h"
#include "reports/ui/label_output.h"
#include "ui/ok_cancel_row.h"

#include <QApplication>
#include <QComboBox>
#include <QFontComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>

namespace tunarium {

namespace {

constexpr int kFontTextWidth = 32;
const int kFontTexts[] = {fon::kTypeFace, fon::kSize, fon::kColour, fon::kStyle};

BrowseOptions fontsOptions(const ProcedureContext& context) {
    BrowseOptions o;
    o.procedure = QString::fromLatin1(procedure::kSelectFont);
    o.positionFile = positionFilePath(context.db.collectionDir());
    o.titleWithCount = false;
    o.designFormat = QString::fromLatin1(kFontsListFormat);
    o.listName = QStringLiteral("?Browse");
    o.locatorPrompt = QStringLiteral("Locate:");
    o.listStatus = QStringLiteral("Browsing Records");
    o.listSize = QSize(260, 110);
    o.openingSizeIsMinimum = true;
    return o;
}

Request requestOf(const ProcedureContext& context) {
    return context.answer ? Request::Select : Request::None;
}

BrowseWindow::Answer answerOf(const ProcedureContext& context) {
    if (!context.answer) {
        return {};
    }
    return [answer = context.answer](Response response, const Row& chosen) {
        answer(static_cast<int>(response), chosen);
    };
}

} // namespace

FontFormWindow::FontFormWindow(const ProcedureContext& context, Request request, const Row& font,
                               bool freeform, Answer done)
    : FontFormWindow(context, request, font, freeform, std::move(done), std::make_shared<Row>()) {}

FontFormWindow::FontFormWindow(const ProcedureContext& context, Request request, const Row& font,
                               bool freeform, Answer done, std::shared_ptr<Row> answered)
    : FormWindow(QString::fromLatin1(freeform ? procedure::kUpdateFontFreeform : procedure::kUpdateFonts),
                 positionFilePath(context.db.collectionDir()), context.caller,
                 [answered, done = std::move(done)](Response response) {
                     if (done) {
                         done(response, *answered);
                     }
                 }),
      m_context(context), m_rules(context.db), m_session(context.db, m_rules, request), m_record(font),
      m_freeform(freeform), m_answered(std::move(answered)) {}

bool FontFormWindow::start(QMdiArea* area) {
    if (m_record.tableId() != TableId::Fonts || m_record.size() == 0) {
        m_record = Row(TableId::Fonts);
    }
    const bool opens = startSession(m_context.db, {TableId::Fonts}, m_session, m_record);
    *m_answered = m_record;
    if (!opens) {
        finish(m_session.response());
        return false;
    }
    build();
    setTexts(m_record.text(fon::kTypeFace), m_record.text(fon::kSize), m_record.text(fon::kColour),
             m_record.text(fon::kStyle));
    if (m_freeform) {
        setWindowTitle(QStringLiteral("Update Font Information (Freeform)"));
    } else {
        setWindowTitle(m_session.request() == Request::Insert ? QStringLiteral("Adding a Favorite Font")
                                                              : QStringLiteral("Changing a Favorite Font"));
    }
    resize(sizeHint());
    present(area);
    return true;
}

void FontFormWindow::build() {
    auto* fields = new QFormLayout;
    const QStringList captions{QStringLiteral("&Type Face:"), QStringLiteral("&Size:"),
                               QStringLiteral("&Colour:"), QStringLiteral("&Style:")};
    for (int i = 0; i < 4; ++i) {
        const bool colour = kFontTexts[i] == fon::kColour;
        if (m_freeform || colour) {
            auto* edit = new QLineEdit;
            edit->setMaxLength(kFontTextWidth);
            m_texts << edit;
            if (colour) {
                auto* row = new QHBoxLayout;
                row->addWidget(edit, 1);
                // The colour itself beside its number (0x00BBGGRR: 170 is a dark red).
                m_swatch = new QLabel;
                m_swatch->setFixedSize(edit->sizeHint().height() * 2, edit->sizeHint().height() - 4);
                m_swatch->setFrameShape(QFrame::Box);
                m_swatch->setAutoFillBackground(true);
                row->addWidget(m_swatch);
                connect(edit, &QLineEdit::textChanged, this, &FontFormWindow::showColour);
                auto* pick = new QPushButton(QStringLiteral("..."));
                pick->setAutoDefault(false);
                pick->setToolTip(QStringLiteral("Select Color"));
                pick->setFixedWidth(pick->fontMetrics().horizontalAdvance(QStringLiteral("...")) * 3);
                connect(pick, &QPushButton::clicked, this, &FontFormWindow::chooseColour);
                row->addWidget(pick);
                auto* caption = new QLabel(captions[i]);
                caption->setBuddy(edit);
                fields->addRow(caption, row);
            } else {
                fields->addRow(captions[i], edit);
            }
            continue;
        }
        QComboBox* box = kFontTexts[i] == fon::kTypeFace ? new QFontComboBox : new QComboBox;
        box->setEditable(true);
        box->lineEdit()->setMaxLength(kFontTextWidth);
        if (kFontTexts[i] == fon::kSize) {
            for (int size : {6, 7, 8, 9, 10, 11, 12, 14, 16, 18, 20, 24, 28, 36, 48, 72}) {
                box->addItem(QString::number(size));
            }
        } else if (kFontTexts[i] == fon::kStyle) {
            box->addItems({QStringLiteral("Regular"), QStringLiteral("Bold"), QStringLiteral("Italic"),
                           QStringLiteral("Bold Italic")});
        }
        m_choices << box;
        fields->addRow(captions[i], box);
    }
    const OkCancelRow buttons = makeOkCancelRow(this, [this] { accept(); }, [this] { cancelRequested(); });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addStretch();
    layout->addLayout(buttons.layout);
}

void FontFormWindow::setTexts(const QString& typeFace, const QString& size, const QString& colour,
                              const QString& style) {
    const QStringList values{trimTrailingBlanks(typeFace), trimTrailingBlanks(size),
                             trimTrailingBlanks(colour), trimTrailingBlanks(style)};
    if (m_freeform) {
        for (int i = 0; i < 4; ++i) {
            m_texts[i]->setText(values[i]);
        }
        return;
    }
    m_choices[0]->setEditText(values[0]);
    m_choices[1]->setEditText(values[1]);
    m_texts[0]->setText(values[2]);
    m_choices[2]->setEditText(values[3]);
}

QString FontFormWindow::text(int field) const {
    if (m_freeform) {
        return m_texts[static_cast<int>(std::find(std::begin(kFontTexts), std::end(kFontTexts), field) -
                                        std::begin(kFontTexts))]
            ->text();
    }
    switch (field) {
    case fon::kTypeFace:
        return m_choices[0]->currentText();
    case fon::kSize:
        return m_choices[1]->currentText();
    case fon::kStyle:
        return m_choices[2]->currentText();
    default:
        return m_texts[0]->text();
    }
}

void FontFormWindow::chooseColour() {
    QLineEdit* colourEdit = m_freeform ? m_texts[2] : m_texts[0];
    bool ok = false;
    int colour = colourEdit->text().trimmed().toInt(&ok);
    if (!ok) {
        colour = 0;
    }
    if (m_context.prompter.chooseColour(colour)) {
        colourEdit->setText(QString::number(colour));
    }
}

void FontFormWindow::showColour() {
    if (!m_swatch) {
        return;
    }
    const std::optional<QVariant> colour = Picture::parse(u"@n8").read(text(fon::kColour));
    QPalette palette = m_swatch->palette();
    if (colour && colour->toLongLong() >= 0 && colour->toLongLong() <= 0xFFFFFF) {
        const QColor shown = colourOf(static_cast<int>(colour->toLongLong()));
        palette.setColor(QPalette::Window, shown);
        m_swatch->setToolTip(shown.name());
    } else {
        palette.setColor(QPalette::Window, this->palette().color(QPalette::Window));
        m_swatch->setToolTip(QStringLiteral("Not a colour"));
    }
    m_swatch->setPalette(palette);
}

bool FontFormWindow::refused(int field, const QString& label, const QString& what, qint64 high) {
    const QString typed = text(field);
    const std::optional<QVariant> value = Picture::parse(u"@n8").read(typed);
    if (value && value->toLongLong() >= 0 && value->toLongLong() <= high) {
        return false;
    }
    m_context.prompter.message({windowTitle(),
                                QStringLiteral("%1: \"%2\" cannot be read. Type %3.").arg(label, typed, what),
                                PromptIcon::Exclamation, kButtonOk, kButtonOk});
    QWidget* control = nullptr;
    if (m_freeform) {
        control = m_texts[static_cast<int>(std::find(std::begin(kFontTexts), std::end(kFontTexts), field) -
                                           std::begin(kFontTexts))];
    } else {
        control = field == fon::kSize ? static_cast<QWidget*>(m_choices[1]) : m_texts[0];
    }
    control->setFocus();
    return true;
}

void FontFormWindow::accept() {
    if (refused(fon::kSize, QStringLiteral("Size"), QStringLiteral("a size in points from 1 to 200"), 200) ||
        refused(fon::kColour, QStringLiteral("Colour"),
                QStringLiteral("a colour number (0 black to 16777215 white), or choose one with ..."), 0xFFFFFF)) {
        return;
    }
    for (int field : kFontTexts) {
        m_record.setText(field, text(field));
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const FormSession::SaveResult result = m_session.save(m_record);
    QApplication::restoreOverrideCursor();
    *m_answered = m_record;
    if (result == FormSession::SaveResult::Closed) {
        finish(m_session.response());
    } else if (result == FormSession::SaveResult::Redisplay) {
        setTexts(m_record.text(fon::kTypeFace), m_record.text(fon::kSize), m_record.text(fon::kColour),
                 m_record.text(fon::kStyle));
    }
}

FavoriteFontsWindow::FavoriteFontsWindow(const ProcedureContext& context)
    : BrowseWindow(context.db, fontsListDefinition(), fontsOptions(context), requestOf(context),
                   windowCaller(context), answerOf(context)),
      m_context(context) {
    addButton(BrowseAction::Select, QStringLiteral("&Select"));
    addButton(BrowseAction::Close, QStringLiteral("Cancel"));
    addButton(BrowseAction::Add, QStringLiteral("&Add"));
    addButton(BrowseAction::Change, QStringLiteral("&Change"));
    addButton(BrowseAction::Delete, QStringLiteral("&Delete"));
    m_freeform = addButton(QStringLiteral("&Freeform"), [this] { freeform(); });
    setWindowTitle(QStringLiteral("Favorite Fonts"));
}

FavoriteFontsWindow* FavoriteFontsWindow::openFonts(const ProcedureContext& context) {
    auto* window = new FavoriteFontsWindow(context);
    Row openOn(TableId::Fonts);
    openOn.clear();
    if (context.argument.isValid() && context.argument.toLongLong() != 0) {
        if (const TableLease fonts(context.db, {TableId::Fonts}); fonts) {
            context.db.store().get(TableId::Fonts, fon::kKeyFontId, {context.argument.toLongLong()}, openOn);
        }
    }
    return window->open(context.workspace, openOn) ? window : nullptr;
}

void FavoriteFontsWindow::pageShown() {
    m_freeform->setEnabled(engine().rowCount() > 0);
}

void FavoriteFontsWindow::openFontForm(Request request, const Row& record, bool freeform) {
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    QPointer<FavoriteFontsWindow> self(this);
    auto* form = new FontFormWindow(m_context.calledFrom(this), request, record, freeform,
                                    [self, freeform](Response response, const Row& answered) {
                                        if (!self) {
                                            return;
                                        }
                                        if (freeform) {
                                            self->engine().focusGained();
                                        } else {
                                            self->engine().formAnswered(response, answered);
                                        }
                                    });
    form->start(sub ? sub->mdiArea() : nullptr);
}

void FavoriteFontsWindow::openForm(Request request, const Row& record) {
    openFontForm(request, record, false);
}

void FavoriteFontsWindow::freeform() {
    if (engine().rowCount() > 0) {
        openFontForm(Request::Change, engine().record(), true);
    }
}

} // namespace tunarium
