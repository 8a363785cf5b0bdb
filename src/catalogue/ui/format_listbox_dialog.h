// "Format Listbox...": the columns an explorer shows and the fields it does not, moved between the
// two and along the list; the selected column's header, offsets, justifications, width and options;
// the list box's place, size, line height, font and scroll bars; "&Default" back to the design.
// Every change shows in the explorer at once. "Format Listbox Column" is the same window for one
// column alone: its settings, the line height and the font.
#pragma once

#include "catalogue/explorer_layout.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QPushButton;
class QLineEdit;
class QListWidget;
class QSpinBox;

namespace tunarium {

class ExplorerSupport;
class Prompter;

class FormatListboxDialog : public QDialog {
public:
    FormatListboxDialog(ExplorerSupport& explorer, Prompter& prompter, QWidget* parent);
    // "Format Listbox Column" for the explorer's column `column` (counted from 0).
    FormatListboxDialog(ExplorerSupport& explorer, Prompter& prompter, QWidget* parent, int column);
    ~FormatListboxDialog() override;

    // The explorer's format changed elsewhere (a column dragged): the window shows it.
    void reload();
    // The column the settings are of (counted from 0), -1 when none.
    int currentColumn() const;
    QSpinBox* lineHeightBox() const { return m_lineHeight; }
    QSpinBox* xBox() const { return m_x; }
    QSpinBox* yBox() const { return m_y; }
    QSpinBox* boxWidthBox() const { return m_boxWidth; }
    QSpinBox* boxHeightBox() const { return m_boxHeight; }

    QListWidget* shownList() const { return m_shown; }
    QListWidget* hiddenList() const { return m_hidden; }
    QLineEdit* headerEdit() const { return m_header; }
    QSpinBox* widthBox() const { return m_width; }
    // The buttons by their captions' actions.
    void addColumn();
    void hideColumn();
    void moveColumn(int by);
    void resetToDefault();

private:
    void build();
    void buildColumnWindow();
    QPushButton* fontButton();
    QHBoxLayout* closeRow();
    QWidget* buildColumnBox();
    QWidget* buildListBox();
    void fillLists(int selectColumn);
    void showColumn();
    void columnEdited();
    void listBoxEdited();
    void chooseFont();
    void apply();
    // Shows the appearance in the explorer and in its other format window.
    void showInExplorer(const ExplorerAppearance& appearance);

    ExplorerSupport& m_explorer;
    Prompter& m_prompter;
    std::unique_ptr<ExplorerFormatEditor> m_editor;
    bool m_filling = false;
    int m_column = 0; // the column of "Format Listbox Column"

    QListWidget* m_shown = nullptr;
    QListWidget* m_hidden = nullptr;
    QLineEdit* m_header = nullptr;
    QSpinBox* m_headerOffset = nullptr;
    QComboBox* m_headerJustification = nullptr;
    QComboBox* m_fieldJustification = nullptr;
    QSpinBox* m_width = nullptr;
    QSpinBox* m_offset = nullptr;
    QCheckBox* m_fixed = nullptr;
    QCheckBox* m_underline = nullptr;
    QCheckBox* m_border = nullptr;
    QCheckBox* m_resize = nullptr;
    QSpinBox* m_x = nullptr;
    QSpinBox* m_y = nullptr;
    QSpinBox* m_boxWidth = nullptr;
    QSpinBox* m_boxHeight = nullptr;
    QSpinBox* m_lineHeight = nullptr;
    QCheckBox* m_vertical = nullptr;
    QCheckBox* m_horizontal = nullptr;
};

} // namespace tunarium
