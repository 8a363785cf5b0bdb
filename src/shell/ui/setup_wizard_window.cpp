// The setup wizard.
#include "shell/ui/setup_wizard_window.h"

#include "data/date_formats.h"
#include "shell/ui/year_only_conversion.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace tunarium {

namespace {

QLabel* wrapped(const QString& text) {
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

struct StartUpFlag {
    const char* caption;
    bool PreferenceValues::*value;
};

const StartUpFlag kStartUpFlags[] = {
    {"Songs", &PreferenceValues::suSongs},
    {"Albums", &PreferenceValues::suAlbums},
    {"Playlists", &PreferenceValues::suPlaylists},
    {"Labels", &PreferenceValues::suLabels},
    {"Show tip at startup", &PreferenceValues::showTips},
};

} // namespace

QStringList SetupWizardWindow::pageNames() {
    return {QStringLiteral("Welcome"), QStringLiteral("Date"), QStringLiteral("User Defined Key Field"),
            QStringLiteral("Start Up"), QStringLiteral("Done")};
}

SetupWizardWindow::SetupWizardWindow(const ProcedureContext& context)
    : QDialog(context.caller), m_context(context), m_editor(context.settings), m_pages(new QStackedWidget),
      m_heading(new QLabel) {
    setWindowTitle(QStringLiteral("Setup Wizard"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    const PreferenceValues& v = m_editor.values();

    auto* welcome = new QWidget;
    auto* welcomeLayout = new QVBoxLayout(welcome);
    welcomeLayout->addWidget(wrapped(QStringLiteral(
        "Welcome to Tunarium Pro. This wizard sets up the program the way you like to work: how release "
        "dates "
        "are shown, what your own key field is called, and which windows open when the program starts.\n\n"
        "Press Next to begin. You can change every choice later in File, Preferences.")));
    welcomeLayout->addStretch();
    m_pages->addWidget(welcome);

    auto* date = new QWidget;
    auto* dateLayout = new QVBoxLayout(date);
    dateLayout->addWidget(wrapped(QStringLiteral("Your reports and screen can use a common date format for "
                                                 "release dates.   Please select a format:")));
    m_dates = new QComboBox;
    for (const DateFormatChoice& c : dateFormatChoices()) {
        m_dates->addItem(c.shown, c.code);
    }
    m_dates->setCurrentIndex(m_editor.shownDateIndex());
    dateLayout->addWidget(m_dates);
    dateLayout->addStretch();
    m_pages->addWidget(date);

    auto* udk = new QWidget;
    auto* udkLayout = new QVBoxLayout(udk);
    udkLayout->addWidget(wrapped(QStringLiteral("Every song has a field of your own, sorted like the others: "
                                                "a crate number, a shelf, a rating scheme. "
                                                "What should it be called?")));
    m_udk = new QLineEdit(v.udkPrompt);
    m_udk->setMaxLength(settingDefinition(SettingKey::UdkPrompt).width);
    udkLayout->addWidget(m_udk);
    udkLayout->addStretch();
    m_pages->addWidget(udk);

    auto* startUp = new QWidget;
    auto* startUpLayout = new QVBoxLayout(startUp);
    startUpLayout->addWidget(wrapped(QStringLiteral("Which windows should open when Tunarium Pro starts?")));
    for (const StartUpFlag& f : kStartUpFlags) {
        auto* box = new QCheckBox(QString::fromLatin1(f.caption));
        box->setChecked(v.*f.value);
        m_checks << box;
        startUpLayout->addWidget(box);
    }
    startUpLayout->addStretch();
    m_pages->addWidget(startUp);

    auto* finished = new QWidget;
    auto* doneLayout = new QVBoxLayout(finished);
    doneLayout->addWidget(wrapped(
        QStringLiteral("That is all. Press Finish to keep your choices, or Back to look at them again.")));
    doneLayout->addStretch();
    m_pages->addWidget(finished);

    m_back = new QPushButton(QStringLiteral("&Back"));
    m_next = new QPushButton(QStringLiteral("&Next"));
    m_finish = new QPushButton(QStringLiteral("&Finish"));
    m_cancel = new QPushButton(QStringLiteral("Cancel"));
    connect(m_back, &QPushButton::clicked, this, &SetupWizardWindow::back);
    connect(m_next, &QPushButton::clicked, this, &SetupWizardWindow::next);
    connect(m_finish, &QPushButton::clicked, this, &SetupWizardWindow::finish);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {m_back, m_next, m_finish, m_cancel}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    QFont headingFont = m_heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.3);
    m_heading->setFont(headingFont);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_heading);
    layout->addWidget(m_pages, 1);
    layout->addLayout(buttons);
    resize(sizeHint().expandedTo(QSize(fontMetrics().averageCharWidth() * 70, fontMetrics().height() * 18)));
    showPage(0);
}

int SetupWizardWindow::page() const {
    return m_pages->currentIndex();
}

void SetupWizardWindow::showPage(int page) {
    m_pages->setCurrentIndex(page);
    m_heading->setText(pageNames().value(page));
    const bool last = page == m_pages->count() - 1;
    m_back->setEnabled(page > 0);
    m_next->setEnabled(!last);
    m_next->setDefault(!last);
    m_finish->setDefault(last);
    (last ? m_finish : m_next)->setFocus();
}

void SetupWizardWindow::next() {
    if (page() < m_pages->count() - 1) {
        showPage(page() + 1);
    }
}

void SetupWizardWindow::back() {
    if (page() > 0) {
        showPage(page() - 1);
    }
}

QPushButton* SetupWizardWindow::button(const QString& caption) const {
    for (QPushButton* b : {m_back, m_next, m_finish, m_cancel}) {
        if (b->text() == caption) {
            return b;
        }
    }
    return nullptr;
}

QCheckBox* SetupWizardWindow::checkBox(const QString& caption) const {
    for (QCheckBox* b : m_checks) {
        if (b->text() == caption) {
            return b;
        }
    }
    return nullptr;
}

void SetupWizardWindow::finish() {
    if (m_busy) {
        return;
    }
    PreferenceValues& v = m_editor.values();
    v.udkPrompt = m_udk->text();
    for (int i = 0; i < m_checks.size(); ++i) {
        v.*kStartUpFlags[i].value = m_checks[i]->isChecked();
    }
    m_editor.chooseDate(m_dates->currentIndex());
    m_editor.write(true);
    // The window waits (and cannot close) while the dates are converted.
    m_busy = true;
    setEnabled(false);
    QPointer<SetupWizardWindow> self(this);
    settleDateFormat(m_context, m_editor, [self] {
        if (self) {
            self->afterConversion();
        }
    });
}

void SetupWizardWindow::afterConversion() {
    m_busy = false;
    m_editor.finish();
    accept();
}

void SetupWizardWindow::done(int result) {
    if (!m_busy) {
        QDialog::done(result);
    }
}

void startSetupWizard(const ProcedureContext& context) {
    QPointer<SetupWizardWindow> window = new SetupWizardWindow(context);
    window->exec();
}

} // namespace tunarium
