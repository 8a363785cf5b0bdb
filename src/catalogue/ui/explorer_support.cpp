// The explorer's columns, header order and kept appearance.
#include "catalogue/ui/explorer_support.h"

#include "catalogue/ui/format_listbox_dialog.h"
#include "catalogue/ui/page_model.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>

namespace tunarium {

namespace {

// Font style bits as the position file keeps them beside the weight.
constexpr int kItalic = 0x1000;
constexpr int kUnderline = 0x2000;
constexpr int kStrikeOut = 0x4000;

} // namespace

ExplorerSupport::ExplorerSupport(BrowseWindow& window, ExplorerDefinition definition, QString positionFile,
                                 Prompter& prompter)
    : m_window(window), m_prompter(prompter),
      m_def(std::move(definition)), m_keys{std::move(positionFile), m_def.procedure, m_def.listName} {}

QString ExplorerSupport::restore(const QString& design, const QString& datePicture) {
    const QFont font = m_window.list()->font();
    m_design.format = design;
    m_design.font = font.family().left(20);
    m_design.point = font.pointSize() > 0 ? font.pointSize() : 0;
    m_design.style = font.weight() == QFont::Bold ? 700 : 400;
    m_appearance = restoreExplorerAppearance(m_keys, m_def, m_design, datePicture);
    // From here on the design is the one shown: the user's date pictures in place.
    m_design.format = datePicture.isEmpty() ? design : replaceDatePictures(design, datePicture);
    m_fields = explorerColumnFields(m_def, ListFormat::parse(m_appearance.format));
    if (m_fields.isEmpty()) { // the design itself: every column shows its field
        m_appearance.format = m_design.format;
        m_fields = explorerColumnFields(m_def, ListFormat::parse(design));
    }
    m_window.engine().setColumns(explorerColumns(m_def, m_fields));
    int field = m_appearance.prevColumn - 1;
    if (field < 0 || field >= m_def.fields.size() || m_def.fields[field].sortOrder == 0) {
        field = 0;
    }
    m_order.restore(field);
    m_window.engine().orderBy(m_def.fields[field].sortOrder, false);
    return m_appearance.format;
}

void ExplorerSupport::opened() {
    QHeaderView* header = m_window.list()->horizontalHeader();
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setToolTip(QStringLiteral("Click on header to change order, or right-click for options"));
    QObject::connect(header, &QHeaderView::sectionClicked, &m_window,
                     [this](int logical) { headerClicked(logical); });
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(header, &QHeaderView::customContextMenuRequested, &m_window,
                     [this, header](QPoint at) { showColumnProperties(header->logicalIndexAt(at)); });
    static_cast<BrowseList*>(m_window.list())->setColumnsMovable([this](int from, int to) {
        columnMoved(from, to);
    });
    applyLook();
    placeList();
    showHeaders();
}

void ExplorerSupport::columnMoved(int from, int to) {
    if (from < 0 || from >= m_fields.size() || to < 0 || to >= m_fields.size()) {
        return;
    }
    if (applyFormat(formatWithColumnMoved(ListFormat::parse(m_window.currentFormat()), m_fields, from, to))) {
        reloadFormatWindows(nullptr);
    }
}

void ExplorerSupport::reloadFormatWindows(const QDialog* except) {
    for (QDialog* window : {m_properties.data(), m_columnWindow.data()}) {
        if (window && window != except) {
            static_cast<FormatListboxDialog*>(window)->reload();
        }
    }
}

// The list box where the appearance puts it; a place outside the window is dropped for the
// layout's.
void ExplorerSupport::placeList() {
    if (!m_window.placeList(m_appearance.box)) {
        m_appearance.box = QRect();
        m_window.placeList(QRect());
    }
}

void ExplorerSupport::keep() {
    m_appearance.format = m_window.currentFormat();
    m_appearance.prevColumn = m_order.field() + 1;
    saveExplorerAppearance(m_keys, m_appearance);
}

void ExplorerSupport::headerClicked(int column) {
    // A click while a page is being read waits for nothing: the next click orders.
    if (m_window.busy() || m_window.engine().formPending() || column < 0 || column >= m_fields.size()) {
        return;
    }
    const int field = m_fields[column];
    switch (m_order.click(m_def, field)) {
    case ExplorerOrder::Click::Ordered:
        m_window.engine().orderBy(m_def.fields[field].sortOrder, m_order.descending());
        showHeaders();
        break;
    case ExplorerOrder::Click::NotOrderable: {
        const QString header = ListFormat::parse(m_window.currentFormat()).columns().value(column).header;
        m_prompter.message({QString::fromLatin1(kNotOrderableCaption),
                            ExplorerOrder::notOrderableMessage(m_def, field, header),
                            PromptIcon::Exclamation});
        break;
    }
    case ExplorerOrder::Click::Ignored:
        break;
    }
    m_window.list()->setFocus();
}

void ExplorerSupport::showHeaders() {
    const ListFormat format = ListFormat::parse(m_window.currentFormat());
    QVector<QChar> justifications;
    QStringList headers;
    for (int i = 0; i < format.columns().size() && i < m_fields.size(); ++i) {
        justifications << format.columns()[i].headerJustification;
        headers << m_order.headerText(m_fields[i], format.columns()[i].header);
    }
    auto* list = static_cast<BrowseList*>(m_window.list());
    list->pageModel()->setColumnLook(justifications, headers);
}

bool ExplorerSupport::applyFormat(const QString& format) {
    const QVector<int> fields = explorerColumnFields(m_def, ListFormat::parse(format));
    if (fields.isEmpty()) {
        return false;
    }
    m_fields = fields;
    m_appearance.format = format;
    auto* list = static_cast<BrowseList*>(m_window.list());
    m_window.engine().setColumns(explorerColumns(m_def, m_fields));
    list->pageModel()->pageChanged();
    list->applyFormat(format);
    showHeaders();
    return true;
}

void ExplorerSupport::setAppearance(const ExplorerAppearance& appearance) {
    if (!applyFormat(appearance.format)) {
        return;
    }
    m_appearance = appearance;
    applyLook();
    placeList();
}

// The list box's font, line height and scroll bars as the appearance has them.
void ExplorerSupport::applyLook() {
    QTableView* list = m_window.list();
    QFont font = list->font();
    if (!m_appearance.font.isEmpty()) {
        font.setFamily(m_appearance.font);
    }
    if (m_appearance.point > 0) {
        font.setPointSize(m_appearance.point);
    }
    font.setWeight(m_appearance.style % 0x1000 >= 600 ? QFont::Bold : QFont::Normal);
    font.setItalic((m_appearance.style & kItalic) != 0);
    font.setUnderline((m_appearance.style & kUnderline) != 0);
    font.setStrikeOut((m_appearance.style & kStrikeOut) != 0);
    list->setFont(font);
    QPalette palette = list->palette();
    const int c = m_appearance.color;
    palette.setColor(QPalette::Text, QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
    list->setPalette(palette);
    const int height =
        m_appearance.lineHeight > 0 ? m_appearance.lineHeight : QFontMetrics(font).height() + 4;
    list->verticalHeader()->setDefaultSectionSize(height);
    list->setHorizontalScrollBarPolicy(m_appearance.horizontalScroll ? Qt::ScrollBarAsNeeded
                                                                     : Qt::ScrollBarAlwaysOff);
    m_window.thumbBar()->setVisible(m_appearance.verticalScroll);
    // The page follows the new line height.
    const int rowHeight = std::max(1, list->verticalHeader()->defaultSectionSize());
    m_window.engine().setLineCount(std::max(1, list->viewport()->height() / rowHeight));
}

QRect ExplorerSupport::listBox() const {
    return m_appearance.box.isValid() ? m_appearance.box : m_window.listArea()->geometry();
}

void ExplorerSupport::showProperties() {
    if (m_properties) {
        m_properties->raise();
        m_properties->activateWindow();
        return;
    }
    m_properties = new FormatListboxDialog(*this, m_prompter, &m_window);
    m_properties->setAttribute(Qt::WA_DeleteOnClose);
    m_properties->show();
}

void ExplorerSupport::showColumnProperties(int column) {
    if (column < 0 || column >= m_fields.size()) {
        return;
    }
    delete m_columnWindow; // the window shows one column; a click on another one starts it again
    m_columnWindow = new FormatListboxDialog(*this, m_prompter, &m_window, column);
    m_columnWindow->setAttribute(Qt::WA_DeleteOnClose);
    m_columnWindow->show();
}

} // namespace tunarium
