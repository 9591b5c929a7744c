// Small helpers that write presenter values into widgets without firing the
// widgets' own change signals, and only where the value differs (so a field
// being typed in keeps its cursor).
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QString>
#include <string>
#include <vector>

namespace relatix {

inline QString qt(const std::string& text) { return QString::fromStdString(text); }

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

}  // namespace relatix
