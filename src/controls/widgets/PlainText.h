#pragma once
// Names of files, tags and what a server sends are shown as they are typed,
// never read as markup: every label of the program shows plain text, and a
// tool tip that Qt would take for rich text is handed to it escaped.
#include <QString>

class QLabel;
class QWidget;

namespace widgets {

// A label that shows its text as plain text.
QLabel* PlainLabel(const QString& text, QWidget* parent);
QLabel* PlainLabel(QWidget* parent);
// Makes an existing label (or one of a subclass) show plain text.
void ShowPlainText(QLabel* label);

// The tool tip that shows `text` as it reads: the text itself, or escaped
// rich text where Qt would take the text for markup.
QString PlainToolTip(const QString& text);
void SetPlainToolTip(QWidget* widget, const QString& text);

} // namespace widgets
