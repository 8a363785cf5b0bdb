// The Preferences window.
#include "shell/ui/preferences_window.h"

#include "albums/album_entries.h"
#include "albums/housekeeping.h"
#include "data/app_paths.h"
#include "data/date_formats.h"
#include "data/table_lease.h"
#include "process/ui/process_window.h"
#include "shell/ui/cd_player_preferences_window.h"
#include "shell/ui/file_manager_window.h"
#include "shell/ui/year_only_conversion.h"
#include "ui/ok_cancel_row.h"
#include "ui/widget_geometry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace tunarium {

namespace {

struct FlagControl {
    const char* caption;
    bool PreferenceValues::*value;
};

const FlagControl kStartUpFlags[] = {
    {"Albums", &PreferenceValues::suAlbums},
    {"Songs", &PreferenceValues::suSongs},
    {"Labels", &PreferenceValues::suLabels},
    {"Playlists", &PreferenceValues::suPlaylists},
};
const FlagControl kOtherFlags[] = {
    {"Show tip at startup", &PreferenceValues::showTips},
    {"At start up, select last order tab used", &PreferenceValues::saveLastTab},
    {"When adding from CD Player, use Add Compilation Wizard", &PreferenceValues::defaultWizardCompilation},
    {"Automatically Add Album Information to Album Database", &PreferenceValues::autoAddToAlbums},
    {"Use Alternate Cassette Format", &PreferenceValues::altCasFmt},
    {"Log MCI traffic (Warning:  The log will be large!)", &PreferenceValues::useLog},
};

// The setting a check box edits.
const FlagControl* flagFor(const QString& caption) {
    for (const FlagControl& f : kStartUpFlags) {
        if (caption == QLatin1String(f.caption)) {
            return &f;
        }
    }
    for (const FlagControl& f : kOtherFlags) {
        if (caption == QLatin1String(f.caption)) {
            return &f;
        }
    }
    return nullptr;
}

const char* const kAddModes[] = {kAddModeNormal, kAddModeCompilation, kAddModeSingleArtist,
                                 kAddModeAskEachTime};

QString positionFile(const ProcedureContext& c) {
    return positionFilePath(c.db.collectionDir());
}

} // namespace

PreferencesWindow::PreferencesWindow(const ProcedureContext& context)
    : QDialog(context.caller), m_context(context), m_editor(context.settings) {
    setWindowTitle(QStringLiteral("Preferences"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_tabs = new QTabWidget;
    m_tabs->addTab(buildGeneral(), QStringLiteral("General"));
    m_tabs->addTab(buildStartUp(), QStringLiteral("Start Up"));
    m_tabs->addTab(buildAdding(), QStringLiteral("Adding"));
    m_tabs->addTab(buildLabels(), QStringLiteral("Labels"));
    m_tabs->addTab(buildHousekeeping(), QStringLiteral("Housekeeping"));
    m_tabs->addTab(buildLogo(), QStringLiteral("Logo"));
    // Every tab's caption in sight: the window is as wide as they need.
    m_tabs->setUsesScrollButtons(false);

    auto* wizard = new QPushButton(QStringLiteral("Use Setup Wi&zard"));
    connect(wizard, &QPushButton::clicked, this, &PreferencesWindow::useSetupWizard);
    const OkCancelRow buttons =
        makeOkCancelRow(this, [this] { ok(); }, [this] { reject(); }, QStringLiteral("Cancel"), {wizard});
    m_buttons << buttons.ok << buttons.cancel << wizard;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addLayout(buttons.layout);

    // Every check box shows its setting.
    for (QCheckBox* box : std::as_const(m_checks)) {
        if (const FlagControl* f = flagFor(box->text())) {
            box->setChecked(m_editor.values().*f->value);
        }
    }
    restoreWidgetPosition(this, QString::fromLatin1(procedure::kPreferences), positionFile(m_context));
}

PreferencesWindow::~PreferencesWindow() = default;

QWidget* PreferencesWindow::buildGeneral() {
    const PreferenceValues& v = m_editor.values();
    auto* page = new QWidget;
    auto* interfaceBox = new QGroupBox(QStringLiteral("Interface"));
    m_standard = new QRadioButton(QString::fromLatin1(kStandardInterface));
    m_explorer = new QRadioButton(QString::fromLatin1(kExplorerInterface));
    (v.interfaceStyle == QLatin1String(kExplorerInterface) ? m_explorer : m_standard)->setChecked(true);
    auto* interfaceLayout = new QHBoxLayout(interfaceBox);
    interfaceLayout->addWidget(m_standard);
    interfaceLayout->addWidget(m_explorer);

    m_dates = new QComboBox;
    for (const DateFormatChoice& c : dateFormatChoices()) {
        m_dates->addItem(c.shown, c.code);
    }
    // A code that is none of the choices selects nothing.
    m_dates->setCurrentIndex(m_editor.shownDateIndex());

    auto* prompts = new QGroupBox(QStringLiteral("Prompts (Field Labels)"));
    m_udk = new QLineEdit(v.udkPrompt);
    m_udk->setObjectName(QStringLiteral("UDKPrompt"));
    m_udk->setMaxLength(settingDefinition(SettingKey::UdkPrompt).width);
    m_notes = new QLineEdit(v.notesLabel);
    m_notes->setObjectName(QStringLiteral("NotesLabel"));
    m_notes->setMaxLength(settingDefinition(SettingKey::NotesLabel).width);
    auto* promptLayout = new QFormLayout(prompts);
    promptLayout->addRow(QStringLiteral("User Defined Key Field:"), m_udk);
    promptLayout->addRow(QStringLiteral("Notes Field (on DJ Log):"), m_notes);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Date Format:"), m_dates);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(interfaceBox);
    layout->addLayout(form);
    layout->addWidget(prompts);
    layout->addStretch();
    return page;
}

QWidget* PreferencesWindow::buildStartUp() {
    auto* page = new QWidget;
    auto* show = new QGroupBox(QStringLiteral("Show At Start Up"));
    auto* showLayout = new QVBoxLayout(show);
    for (const FlagControl& f : kStartUpFlags) {
        m_checks << new QCheckBox(QString::fromLatin1(f.caption));
        showLayout->addWidget(m_checks.last());
    }
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(show);
    for (int i = 0; i < 2; ++i) {
        m_checks << new QCheckBox(QString::fromLatin1(kOtherFlags[i].caption));
        layout->addWidget(m_checks.last());
    }
    layout->addStretch();
    return page;
}

QWidget* PreferencesWindow::buildAdding() {
    auto* page = new QWidget;
    auto* mode = new QGroupBox(QStringLiteral("Add Mode"));
    auto* modeLayout = new QVBoxLayout(mode);
    for (const char* caption : kAddModes) {
        auto* button = new QRadioButton(QString::fromLatin1(caption));
        button->setChecked(m_editor.values().addMode == QLatin1String(caption));
        m_addModes << button;
        modeLayout->addWidget(button);
    }
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(mode);
    for (int i = 2; i < 4; ++i) {
        m_checks << new QCheckBox(QString::fromLatin1(kOtherFlags[i].caption));
        layout->addWidget(m_checks.last());
    }
    layout->addStretch();
    return page;
}

QWidget* PreferencesWindow::buildLabels() {
    const PreferenceValues& v = m_editor.values();
    auto* page = new QWidget;
    auto* order = new QGroupBox(QStringLiteral("Label Wizard Order"));
    m_artistFirst = new QRadioButton(QString::fromLatin1(kArtistTitleOrder));
    m_titleFirst = new QRadioButton(QString::fromLatin1(kTitleArtistOrder));
    (v.labelOrder == QLatin1String(kArtistTitleOrder) ? m_artistFirst : m_titleFirst)->setChecked(true);
    auto* orderLayout = new QVBoxLayout(order);
    orderLayout->addWidget(m_artistFirst);
    orderLayout->addWidget(m_titleFirst);
    m_delimiter = new QLineEdit(v.delimiter);
    m_delimiter->setObjectName(QStringLiteral("GLO:Delimiter"));
    m_delimiter->setMaxLength(1);
    m_delimiter->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("MMMM")));
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Track #/Song Delimiter"), m_delimiter);
    m_checks << new QCheckBox(QString::fromLatin1(kOtherFlags[4].caption));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(order);
    layout->addLayout(form);
    layout->addWidget(m_checks.last());
    layout->addStretch();
    return page;
}

QWidget* PreferencesWindow::buildHousekeeping() {
    auto* page = new QWidget;
    auto* notice = new QLabel(QString::fromLatin1(kHousekeepingNotice));
    notice->setWordWrap(false);
    auto action = [this](const char* caption, void (PreferencesWindow::*run)()) {
        auto* b = new QPushButton(QString::fromLatin1(caption));
        connect(b, &QPushButton::clicked, this, run);
        m_buttons << b;
        return b;
    };
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(notice);
    layout->addWidget(
        action("Create Album Database from Tunarium Database", &PreferencesWindow::createAlbums));
    layout->addWidget(action("Test Album Database Link Integrity", &PreferencesWindow::testLinks));
    layout->addWidget(action("File Manager", &PreferencesWindow::openFileManager));
    m_checks << new QCheckBox(QString::fromLatin1(kOtherFlags[5].caption));
    layout->addWidget(m_checks.last());
    layout->addWidget(action("CD Player Preferences...", &PreferencesWindow::openCdPlayerPreferences));
    layout->addStretch();
    return page;
}

QWidget* PreferencesWindow::buildLogo() {
    auto* page = new QWidget;
    m_logo = new QLineEdit(m_editor.values().logo);
    m_logo->setObjectName(QStringLiteral("Logo"));
    // Only a picture chosen through "&Browse" (or none) becomes the logo.
    m_logo->setReadOnly(true);
    auto* browse = new QPushButton(QStringLiteral("&Browse"));
    auto* clear = new QPushButton(QStringLiteral("C&lear"));
    m_buttons << browse << clear;
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString start = m_logo->text().isEmpty() ? fileDialogFolder() : m_logo->text();
        const QString file = m_context.prompter.chooseOpenFile(QStringLiteral("Choose a File"), start,
                                                               QStringLiteral("All Files (*)"));
        if (!file.isEmpty() && takeLogo(file)) {
            rememberFileDialogFolder(file);
        }
    });
    connect(clear, &QPushButton::clicked, m_logo, &QLineEdit::clear);
    auto* row = new QHBoxLayout;
    row->addWidget(m_logo, 1);
    row->addWidget(browse);
    row->addWidget(clear);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("Logo to appear on selected reports:")));
    layout->addLayout(row);
    layout->addStretch();
    return page;
}

bool PreferencesWindow::takeLogo(const QString& file) {
    QImageReader reader(file);
    if (!QFileInfo(file).isFile() || !reader.canRead()) {
        PromptMessage m;
        m.caption = QStringLiteral("Logo");
        m.text = QStringLiteral("%1 is not a picture Tunarium Pro can show. The logo is left as it was.")
                     .arg(QDir::toNativeSeparators(file));
        m.icon = PromptIcon::Exclamation;
        m_context.prompter.message(m);
        return false;
    }
    m_logo->setText(file);
    return true;
}

QPushButton* PreferencesWindow::button(const QString& caption) const {
    for (QPushButton* b : m_buttons) {
        if (b->text() == caption) {
            return b;
        }
    }
    return nullptr;
}

QCheckBox* PreferencesWindow::checkBox(const QString& caption) const {
    for (QCheckBox* b : m_checks) {
        if (b->text() == caption) {
            return b;
        }
    }
    return nullptr;
}

QLineEdit* PreferencesWindow::field(const QString& name) const {
    return findChild<QLineEdit*>(name);
}

void PreferencesWindow::readControls() {
    PreferenceValues& v = m_editor.values();
    v.interfaceStyle = QString::fromLatin1(m_explorer->isChecked() ? kExplorerInterface : kStandardInterface);
    v.udkPrompt = m_udk->text();
    v.notesLabel = m_notes->text();
    for (QRadioButton* mode : std::as_const(m_addModes)) {
        if (mode->isChecked()) {
            v.addMode = mode->text();
        }
    }
    v.labelOrder = QString::fromLatin1(m_artistFirst->isChecked() ? kArtistTitleOrder : kTitleArtistOrder);
    v.delimiter = m_delimiter->text();
    v.logo = m_logo->text();
    for (QCheckBox* box : std::as_const(m_checks)) {
        if (const FlagControl* f = flagFor(box->text())) {
            v.*f->value = box->isChecked();
        }
    }
    m_editor.chooseDate(m_dates->currentIndex());
}

void PreferencesWindow::ok() {
    if (m_busy) {
        return;
    }
    readControls();
    m_editor.write(false);
    if (m_editor.tellsDateChange()) {
        PromptMessage m;
        m.caption = QStringLiteral("Information");
        m.text = QString::fromLatin1(kDateFormatChangedText);
        m.icon = PromptIcon::Information;
        m_context.prompter.message(m);
    }
    // The window waits (and cannot close) while the dates are converted.
    m_busy = true;
    setEnabled(false);
    QPointer<PreferencesWindow> self(this);
    settleDateFormat(m_context, m_editor, [self] {
        if (self) {
            self->afterConversion();
        }
    });
}

void PreferencesWindow::afterConversion() {
    m_busy = false;
    m_editor.finish();
    accept();
}

void PreferencesWindow::createAlbums() {
    PromptMessage m;
    m.caption = QStringLiteral("Housekeeping");
    m.text = QString::fromLatin1(kCreateAlbumsQuestion);
    m.icon = PromptIcon::Question;
    m.buttons = kButtonYes | kButtonNo;
    m.defaultButton = kButtonYes;
    if (m_context.prompter.message(m) != kButtonYes) {
        return;
    }
    // In front of this window, which would hide one in the workspace and keep the user from it.
    runProcessWindowOver(this, std::make_unique<AlbumEntriesProcess>(m_context.db));
}

void PreferencesWindow::testLinks() {
    PromptMessage m;
    m.caption = QStringLiteral("Housekeeping");
    m.text = QString::fromLatin1(kLinkTestQuestion);
    m.icon = PromptIcon::Question;
    m.buttons = kButtonYes | kButtonNo;
    m.defaultButton = kButtonYes;
    if (m_context.prompter.message(m) != kButtonYes) {
        return;
    }
    Database& db = m_context.db;
    Prompter& prompter = m_context.prompter;
    const auto tell = [&prompter](const QString& text, PromptIcon icon) {
        PromptMessage told;
        told.caption = QStringLiteral("Housekeeping");
        told.text = text;
        told.icon = icon;
        prompter.message(told);
    };
    // The test rewrites the links of up to every song: a whole copy first, or no test.
    QString backup;
    StoreError failure = StoreError::of(code::kInvalidDataFile);
    if (const TableLease songs(db, {TableId::Tunarium}); songs) {
        failure = backupBeforeLinkTest(db.store(), backup);
    }
    if (failure) {
        tell(QStringLiteral("No copy of the collection could be made, so no link was tested.\n%1")
                 .arg(failure.describe()),
             PromptIcon::Exclamation);
        return;
    }
    auto process = std::make_unique<AlbumLinkTest>(db);
    AlbumLinkTest* test = process.get();
    runProcessWindowOver(this, std::move(process), [self = QPointer<PreferencesWindow>(this), test, tell,
                                                    backup](bool completed) {
        const QString report = linkTestReport(*test, completed && !test->failed(), backup);
        const bool whole = completed && !test->failed();
        // Told once the progress window has gone, over this window.
        if (self) {
            QTimer::singleShot(0, self.data(), [tell, report, whole] {
                tell(report, whole ? PromptIcon::Information : PromptIcon::Exclamation);
            });
        }
    });
}

void PreferencesWindow::openFileManager() {
    // A window of its own in front of this one: in the workspace it would stay behind this window,
    // which keeps the user from the workspace while it is open.
    auto* window = new FileManagerWindow(m_context.db, defaultProfilePath(), this);
    window->setWindowFlags(Qt::Dialog);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    window->raise();
    window->activateWindow();
}

void PreferencesWindow::openCdPlayerPreferences() {
    auto* window = new CdPlayerPreferencesWindow(m_context.settings, this);
    window->open();
}

void PreferencesWindow::useSetupWizard() {
    const ProcedureContext c = m_context.calledFrom(m_context.caller);
    // The wizard replaces this window.
    reject();
    c.procedures.start(QString::fromLatin1(procedure::kSetupWizard), c);
}

void PreferencesWindow::done(int result) {
    if (m_busy) {
        return; // the dates are being converted
    }
    saveWidgetPosition(this, QString::fromLatin1(procedure::kPreferences), positionFile(m_context));
    QDialog::done(result);
}

void startPreferences(const ProcedureContext& context) {
    if (!context.settings.setupWizardComplete()) {
        context.procedures.start(QString::fromLatin1(procedure::kSetupWizard), context);
        return;
    }
    auto* window = new PreferencesWindow(context);
    window->open();
}

} // namespace tunarium
