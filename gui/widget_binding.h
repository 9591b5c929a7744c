// Small helpers shared by the presenter windows: the widgets they are built from
// (named so that tests can find them), and the writing of presenter values into
// those widgets without firing the widgets' own change signals, and only where
// the value differs (so a field being typed in keeps its cursor, and a selection
// being dragged is not restarted).
#pragma once

#include <QAbstractItemView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelection>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QString>
#include <QStringList>
#include <QTableWidget>
#include <algorithm>
#include <string>
#include <vector>

namespace relatix {

// The texts of a table, row by row.
using Cells = std::vector<std::vector<std::string>>;

inline QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

inline QStringList qtList(const std::vector<std::string>& texts) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(texts.size()));
    for (const std::string& text : texts) list << qt(text);
    return list;
}

// --- Building -------------------------------------------------------------

inline QLineEdit* lineEdit(QWidget* parent, const QString& name) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    return field;
}

inline QComboBox* comboBox(QWidget* parent, const QString& name) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    return box;
}

// The button that Enter presses.
inline QPushButton* defaultButton(QPushButton* button) {
    button->setAutoDefault(true);
    button->setDefault(true);
    return button;
}

// Gives the widget room for the given number of average characters and lines
// of its own font, so that it opens at a useful size whatever the font.
inline void setMinimumTextSize(QWidget* widget, int characters, int lines) {
    widget->setMinimumSize(widget->fontMetrics().averageCharWidth() * characters,
                           widget->fontMetrics().height() * lines);
}

// A read-only table without row numbers whose rows are selected whole, one at a
// time or several.
inline QTableWidget* rowTable(QWidget* parent, const QString& name, const QStringList& headings,
                              bool multiple) {
    auto* table = new QTableWidget(0, static_cast<int>(headings.size()), parent);
    table->setObjectName(name);
    table->setHorizontalHeaderLabels(headings);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(multiple ? QAbstractItemView::ExtendedSelection
                                     : QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

// --- Writing presenter values ---------------------------------------------

inline void setItems(QComboBox* box, const std::vector<std::string>& items) {
    bool same = box->count() == static_cast<int>(items.size());
    for (int i = 0; same && i < box->count(); ++i)
        same = box->itemText(i) == qt(items[static_cast<size_t>(i)]);
    if (same) return;
    const QSignalBlocker blocker(box);
    box->clear();
    for (const std::string& item : items) box->addItem(qt(item));
}

inline void setCurrent(QComboBox* box, int index) {
    if (box->currentIndex() == index) return;
    const QSignalBlocker blocker(box);
    box->setCurrentIndex(index);
}

inline void setText(QLineEdit* field, const std::string& text) {
    if (field->text() == qt(text)) return;
    const QSignalBlocker blocker(field);
    field->setText(qt(text));
}

// Writes the cells into the table, one row each, touching only the cells whose
// text changed, so that a long list is not rebuilt on every keystroke elsewhere.
// Cells beyond the table's columns are left out.
inline void setCells(QTableWidget* table, const Cells& rows) {
    const QSignalBlocker blocker(table);
    table->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < table->rowCount(); ++r) {
        const auto& row = rows[static_cast<size_t>(r)];
        for (int c = 0; c < table->columnCount() && c < static_cast<int>(row.size()); ++c) {
            QTableWidgetItem* item = table->item(r, c);
            if (!item) table->setItem(r, c, item = new QTableWidgetItem);
            const QString text = qt(row[static_cast<size_t>(c)]);
            if (item->text() != text) item->setText(text);
        }
    }
}

// The wholly selected rows, 0-based and in ascending order.
inline std::vector<int> selectedRows(const QTableWidget* table) {
    std::vector<int> rows;
    for (const QModelIndex& index : table->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

// The first selected row, or -1 when none is.
inline int selectedRow(const QTableWidget* table) {
    const std::vector<int> rows = selectedRows(table);
    return rows.empty() ? -1 : rows.front();
}

// Selects exactly the given rows (0-based; those outside the table are passed
// over) without reporting it back. A selection that is already the same is left
// alone, so that one the user is still dragging out carries on.
inline void setSelectedRows(QTableWidget* table, std::vector<int> rows) {
    std::erase_if(rows, [table](int r) { return r < 0 || r >= table->rowCount(); });
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (selectedRows(table) == rows) return;
    QItemSelection selection;
    const int last = table->columnCount() - 1;
    for (int r : rows)
        selection.select(table->model()->index(r, 0), table->model()->index(r, last));
    const QSignalBlocker blocker(table);
    table->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

// Selects the one row, or none for -1.
inline void setSelectedRow(QTableWidget* table, int row) {
    setSelectedRows(table, {row});
}

// The row that filters a marker list: "Chromosome" with its choices and the
// "Marker id/name:" field, which takes the rest of the row.
struct MarkerFilterRow {
    QHBoxLayout* layout;
    QComboBox* chromosome;
    QLineEdit* name;
};

inline MarkerFilterRow markerFilterRow(QWidget* parent, const std::vector<std::string>& choices,
                                       const QString& chromosomeName, const QString& nameName) {
    MarkerFilterRow row;
    row.layout = new QHBoxLayout;
    row.layout->addWidget(new QLabel("Chromosome", parent));
    row.chromosome = comboBox(parent, chromosomeName);
    setItems(row.chromosome, choices);
    row.layout->addWidget(row.chromosome);
    row.layout->addSpacing(row.chromosome->fontMetrics().averageCharWidth() * 2);
    row.layout->addWidget(new QLabel("Marker id/name:", parent));
    row.name = lineEdit(parent, nameName);
    row.layout->addWidget(row.name, 1);
    return row;
}

}  // namespace relatix
