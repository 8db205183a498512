#include "controls/widgets/PlainText.h"

#include <QLabel>
#include <QTextDocument>

namespace widgets {

QLabel* PlainLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    ShowPlainText(label);
    return label;
}

QLabel* PlainLabel(QWidget* parent) { return PlainLabel(QString(), parent); }

void ShowPlainText(QLabel* label) { label->setTextFormat(Qt::PlainText); }

QString PlainToolTip(const QString& text)
{
    if (!Qt::mightBeRichText(text)) return text;
    // Line breaks and runs of blanks kept, as a plain tool tip shows them.
    return "<p style=\"white-space:pre\">" + text.toHtmlEscaped() + "</p>";
}

void SetPlainToolTip(QWidget* widget, const QString& text) { widget->setToolTip(PlainToolTip(text)); }

} // namespace widgets
