// The format window of the explorers.
#include "catalogue/ui/format_listbox_dialog.h"

#include "catalogue/ui/explorer_support.h"
#include "data/prompter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tunarium {

namespace {

const QString kJustifications = QStringLiteral("DLCR"); // Dec, Left, Center, Right

QComboBox* justificationBox() {
    auto* box = new QComboBox;
    box->addItems(
        {QStringLiteral("Dec"), QStringLiteral("Left"), QStringLiteral("Center"), QStringLiteral("Right")});
    return box;
}

QSpinBox* numberBox(int low, int high) {
    auto* box = new QSpinBox;
    box->setRange(low, high);
    return box;
}

QCheckBox* option(const QString& text, const QString& tip) {
    auto* box = new QCheckBox(text);
    box->setToolTip(tip);
    return box;
}

// The line height in pixels; 0 shows "Font's": the font's own.
QSpinBox* lineHeightSpin() {
    auto* box = numberBox(0, 200);
    box->setSpecialValueText(QStringLiteral("Font's"));
    // The box is as wide as its widest text: a style measures only the numbers.
    const QFontMetrics metrics(box->font());
    const int text = std::max(metrics.horizontalAdvance(box->specialValueText()),
                              metrics.horizontalAdvance(QStringLiteral("200")));
    box->setMinimumWidth(box->sizeHint().width() - metrics.horizontalAdvance(QStringLiteral("200")) + text +
                         metrics.averageCharWidth());
    return box;
}

// A list as wide as its widest line, so that no line is cut.
void fitWidth(QListWidget* list, const QStringList& lines) {
    const QFontMetrics metrics(list->font());
    int widest = 0;
    for (const QString& line : lines) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    list->setMinimumWidth(widest + 2 * list->frameWidth() + list->verticalScrollBar()->sizeHint().width() +
                          2 * metrics.averageCharWidth());
}

} // namespace

FormatListboxDialog::FormatListboxDialog(ExplorerSupport& explorer, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_explorer(explorer), m_prompter(prompter),
      m_editor(std::make_unique<ExplorerFormatEditor>(explorer.definition(), explorer.appearance().format)) {
    setWindowTitle(QStringLiteral("Format Listbox..."));
    build();
    fillLists(0);
}

FormatListboxDialog::FormatListboxDialog(ExplorerSupport& explorer, Prompter& prompter, QWidget* parent,
                                         int column)
    : QDialog(parent), m_explorer(explorer), m_prompter(prompter),
      m_editor(std::make_unique<ExplorerFormatEditor>(explorer.definition(), explorer.appearance().format)),
      m_column(column) {
    setWindowTitle(QStringLiteral("Format Listbox Column"));
    buildColumnWindow();
    fillLists(column);
}

FormatListboxDialog::~FormatListboxDialog() = default;

void FormatListboxDialog::build() {
    m_shown = new QListWidget;
    m_shown->setToolTip(QStringLiteral("'Right Click to display field'"));
    m_hidden = new QListWidget;
    m_hidden->setToolTip(QStringLiteral("'Right Click to erase field'"));
    QStringList shownLines;
    QStringList hiddenLines;
    for (const ExplorerField& f : m_explorer.definition().fields) {
        shownLines << f.header + QStringLiteral(" | ") + f.description;
        hiddenLines << f.name + QStringLiteral(" | ") + f.description;
    }
    fitWidth(m_shown, shownLines);
    fitWidth(m_hidden, hiddenLines);
    auto* add = new QPushButton(QStringLiteral("<<"));
    add->setToolTip(QStringLiteral("Add the field to the display list"));
    auto* hide = new QPushButton(QStringLiteral(">>"));
    hide->setToolTip(QStringLiteral("Hide the column"));
    auto* left = new QPushButton(QStringLiteral("Move Column Left"));
    auto* right = new QPushButton(QStringLiteral("Move Column Right"));
    connect(add, &QPushButton::clicked, this, [this] { addColumn(); });
    connect(hide, &QPushButton::clicked, this, [this] { hideColumn(); });
    connect(left, &QPushButton::clicked, this, [this] { moveColumn(-1); });
    connect(right, &QPushButton::clicked, this, [this] { moveColumn(1); });
    connect(m_shown, &QListWidget::currentRowChanged, this, [this] { showColumn(); });
    // A double click moves an entry to the other list.
    connect(m_hidden, &QListWidget::itemDoubleClicked, this, [this] { addColumn(); });
    connect(m_shown, &QListWidget::itemDoubleClicked, this, [this] { hideColumn(); });

    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(add);
    middle->addWidget(hide);
    middle->addStretch();
    auto* lists = new QHBoxLayout;
    auto* shownColumn = new QVBoxLayout;
    shownColumn->addWidget(new QLabel(QStringLiteral("Column|Data")));
    shownColumn->addWidget(m_shown);
    auto* moves = new QHBoxLayout;
    moves->addWidget(left);
    moves->addWidget(right);
    shownColumn->addLayout(moves);
    auto* hiddenColumn = new QVBoxLayout;
    hiddenColumn->addWidget(new QLabel(QStringLiteral("Field|Data")));
    hiddenColumn->addWidget(m_hidden);
    lists->addLayout(shownColumn, 1);
    lists->addLayout(middle);
    lists->addLayout(hiddenColumn, 1);

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(buildColumnBox());
    boxes->addWidget(buildListBox());

    auto* defaults = new QPushButton(QStringLiteral("&Default"));
    defaults->setToolTip(QStringLiteral("Reset listbox back to default"));
    connect(defaults, &QPushButton::clicked, this, [this] { resetToDefault(); });
    QHBoxLayout* buttons = closeRow();
    buttons->insertWidget(1, defaults);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addLayout(boxes);
    layout->addLayout(buttons);
}

void FormatListboxDialog::buildColumnWindow() {
    m_lineHeight = lineHeightSpin();
    connect(m_lineHeight, &QSpinBox::valueChanged, this, [this] { listBoxEdited(); });
    QPushButton* font = fontButton();
    auto* look = new QFormLayout;
    look->addRow(QStringLiteral("&LineHeight:"), m_lineHeight);
    look->addRow(font);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buildColumnBox());
    layout->addLayout(look);
    layout->addLayout(closeRow());
}

QPushButton* FormatListboxDialog::fontButton() {
    auto* font = new QPushButton(QStringLiteral("F&ont"));
    font->setToolTip(QStringLiteral("Assign New Font to Listbox"));
    connect(font, &QPushButton::clicked, this, [this] { chooseFont(); });
    return font;
}

// The row of the window's buttons, "&Close" on the right.
QHBoxLayout* FormatListboxDialog::closeRow() {
    auto* close = new QPushButton(QStringLiteral("&Close"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    return buttons;
}

QWidget* FormatListboxDialog::buildColumnBox() {
    auto* group = new QGroupBox(QStringLiteral("Column"));
    m_header = new QLineEdit;
    m_header->setMaxLength(20);
    m_header->setToolTip(QStringLiteral("Change Column Header Text"));
    m_headerOffset = numberBox(0, 99);
    m_headerJustification = justificationBox();
    m_fieldJustification = justificationBox();
    m_width = numberBox(1, kMaxColumnWidth);
    m_offset = numberBox(0, 99);
    m_fixed = option(QStringLiteral("F&ixed"),
                     QStringLiteral("Fix all columns to the left when horizontal Scrolling"));
    m_underline = option(QStringLiteral("&Uline"), QStringLiteral("Underline the current column"));
    m_border = option(QStringLiteral("&Border"), QStringLiteral("Right hand border line"));
    m_resize = option(QStringLiteral("&Resize"), QStringLiteral("Allow Column Resize with Mouse"));
    auto* form = new QFormLayout(group);
    form->addRow(QStringLiteral("&Header:"), m_header);
    form->addRow(QStringLiteral("Header Off&set:"), m_headerOffset);
    form->addRow(QStringLiteral("Header &Justification"), m_headerJustification);
    form->addRow(QStringLiteral("&Field Justification"), m_fieldJustification);
    form->addRow(QStringLiteral("&Width:"), m_width);
    form->addRow(QStringLiteral("Field Offse&t:"), m_offset);
    auto* options = new QHBoxLayout;
    for (QCheckBox* box : {m_fixed, m_underline, m_border, m_resize}) {
        options->addWidget(box);
        connect(box, &QCheckBox::toggled, this, [this] { columnEdited(); });
    }
    form->addRow(options);
    connect(m_header, &QLineEdit::textEdited, this, [this] { columnEdited(); });
    for (QSpinBox* box : {m_headerOffset, m_width, m_offset}) {
        connect(box, &QSpinBox::valueChanged, this, [this] { columnEdited(); });
    }
    for (QComboBox* box : {m_headerJustification, m_fieldJustification}) {
        connect(box, &QComboBox::currentIndexChanged, this, [this] { columnEdited(); });
    }
    return group;
}

QWidget* FormatListboxDialog::buildListBox() {
    auto* group = new QGroupBox(QStringLiteral("Listbox"));
    m_x = numberBox(0, 9999);
    m_y = numberBox(0, 9999);
    m_boxWidth = numberBox(20, 9999);
    m_boxHeight = numberBox(20, 9999);
    m_lineHeight = lineHeightSpin();
    m_vertical = new QCheckBox(QStringLiteral("&Vertical Scroll"));
    m_horizontal = new QCheckBox(QStringLiteral("Hori&zontal Scroll"));
    QPushButton* font = fontButton();
    auto* form = new QFormLayout(group);
    form->addRow(QStringLiteral("&X Pos:"), m_x);
    form->addRow(QStringLiteral("&Y Pos:"), m_y);
    form->addRow(QStringLiteral("Wid&th:"), m_boxWidth);
    form->addRow(QStringLiteral("H&eight:"), m_boxHeight);
    form->addRow(QStringLiteral("&LineHeight:"), m_lineHeight);
    form->addRow(font);
    form->addRow(m_vertical);
    form->addRow(m_horizontal);
    for (QSpinBox* box : {m_x, m_y, m_boxWidth, m_boxHeight, m_lineHeight}) {
        connect(box, &QSpinBox::valueChanged, this, [this] { listBoxEdited(); });
    }
    for (QCheckBox* box : {m_vertical, m_horizontal}) {
        connect(box, &QCheckBox::toggled, this, [this] { listBoxEdited(); });
    }
    return group;
}

void FormatListboxDialog::fillLists(int selectColumn) {
    m_filling = true;
    const ExplorerDefinition& def = m_explorer.definition();
    const ExplorerAppearance& a = m_explorer.appearance();
    if (m_shown) {
        m_shown->clear();
        for (int i = 0; i < m_editor->columns().size(); ++i) {
            m_shown->addItem(m_editor->columns()[i].header + QStringLiteral(" | ") +
                             def.fields[m_editor->fieldOf(i)].description);
        }
        m_hidden->clear();
        for (int field : m_editor->hiddenFields()) {
            auto* item = new QListWidgetItem(def.fields[field].name + QStringLiteral(" | ") +
                                             def.fields[field].description);
            item->setData(Qt::UserRole, field);
            m_hidden->addItem(item);
        }
        const QRect box = m_explorer.listBox();
        m_x->setValue(box.x());
        m_y->setValue(box.y());
        m_boxWidth->setValue(box.width());
        m_boxHeight->setValue(box.height());
        m_vertical->setChecked(a.verticalScroll);
        m_horizontal->setChecked(a.horizontalScroll);
    }
    m_lineHeight->setValue(a.lineHeight);
    m_filling = false;
    const int last = static_cast<int>(m_editor->columns().size()) - 1;
    if (m_shown) {
        m_shown->setCurrentRow(std::clamp(selectColumn, 0, last));
    } else {
        m_column = std::clamp(selectColumn, 0, last);
    }
    showColumn();
}

void FormatListboxDialog::reload() {
    m_editor =
        std::make_unique<ExplorerFormatEditor>(m_explorer.definition(), m_explorer.appearance().format);
    fillLists(currentColumn());
}

int FormatListboxDialog::currentColumn() const {
    return m_shown ? m_shown->currentRow() : m_column;
}

void FormatListboxDialog::showColumn() {
    const int row = currentColumn();
    if (row < 0 || row >= m_editor->columns().size()) {
        return;
    }
    m_filling = true;
    const ListFormatColumn& c = m_editor->columns()[row];
    m_header->setText(c.header);
    m_headerOffset->setValue(c.headerOffset);
    m_headerJustification->setCurrentIndex(
        std::max(0, static_cast<int>(kJustifications.indexOf(c.headerJustification))));
    m_fieldJustification->setCurrentIndex(
        std::max(0, static_cast<int>(kJustifications.indexOf(c.justification))));
    m_width->setValue(c.width);
    m_offset->setValue(c.offset);
    m_fixed->setChecked(c.fixed);
    m_underline->setChecked(c.underline);
    m_border->setChecked(c.border);
    m_resize->setChecked(c.resizable);
    m_filling = false;
}

void FormatListboxDialog::columnEdited() {
    const int row = currentColumn();
    if (m_filling || row < 0 || row >= m_editor->columns().size()) {
        return;
    }
    ListFormatColumn& c = m_editor->column(row);
    c.header = m_header->text().left(20);
    c.headerOffset = m_headerOffset->value();
    c.headerJustification = kJustifications[m_headerJustification->currentIndex()];
    c.justification = kJustifications[m_fieldJustification->currentIndex()];
    m_editor->setWidth(row, m_width->value());
    c.offset = m_offset->value();
    c.fixed = m_fixed->isChecked();
    c.underline = m_underline->isChecked();
    c.border = m_border->isChecked();
    c.resizable = m_resize->isChecked();
    if (m_shown) {
        m_shown->item(row)->setText(c.header + QStringLiteral(" | ") +
                                    m_explorer.definition().fields[m_editor->fieldOf(row)].description);
    }
    apply();
}

void FormatListboxDialog::listBoxEdited() {
    if (m_filling) {
        return;
    }
    ExplorerAppearance a = m_explorer.appearance();
    a.lineHeight = m_lineHeight->value();
    if (m_shown) {
        a.box = QRect(m_x->value(), m_y->value(), m_boxWidth->value(), m_boxHeight->value());
        a.verticalScroll = m_vertical->isChecked();
        a.horizontalScroll = m_horizontal->isChecked();
    }
    a.format = m_editor->text();
    showInExplorer(a);
}

void FormatListboxDialog::chooseFont() {
    ExplorerAppearance a = m_explorer.appearance();
    FontChoice font{a.font, a.point, a.color, a.style};
    if (!m_prompter.chooseFont(QStringLiteral("Assign New Font to Listbox"), font)) {
        return;
    }
    a.font = font.typeFace.left(20);
    a.point = font.size;
    a.color = font.colour;
    a.style = font.style;
    a.format = m_editor->text();
    showInExplorer(a);
}

void FormatListboxDialog::addColumn() {
    QListWidgetItem* item = m_hidden ? m_hidden->currentItem() : nullptr;
    if (!item) {
        return;
    }
    const int at = m_editor->add(item->data(Qt::UserRole).toInt(), m_shown->currentRow());
    fillLists(at);
    apply();
}

void FormatListboxDialog::hideColumn() {
    const int row = currentColumn();
    if (m_editor->hide(row)) {
        fillLists(row);
        apply();
    }
}

void FormatListboxDialog::moveColumn(int by) {
    const int to = m_editor->move(currentColumn(), by);
    fillLists(to);
    apply();
}

void FormatListboxDialog::resetToDefault() {
    ExplorerAppearance design = m_explorer.designAppearance();
    m_editor = std::make_unique<ExplorerFormatEditor>(m_explorer.definition(), design.format);
    showInExplorer(design);
    fillLists(0);
}

void FormatListboxDialog::showInExplorer(const ExplorerAppearance& appearance) {
    m_explorer.setAppearance(appearance);
    m_explorer.reloadFormatWindows(this);
}

void FormatListboxDialog::apply() {
    ExplorerAppearance a = m_explorer.appearance();
    a.format = m_editor->text();
    showInExplorer(a);
}

} // namespace tunarium
