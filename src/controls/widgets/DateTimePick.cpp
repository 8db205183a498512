#include "controls/widgets/DateTimePick.h"

#include <QDateTimeEdit>
#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QTimer>

cDateTimePick::cDateTimePick(QWidget* parent) : QWidget(parent), m_edit(new QDateTimeEdit(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_edit);
    m_edit->setMinimumDateTime(QDateTime(QDate(100, 1, 1), QTime(0, 0)));
    m_edit->setMaximumDateTime(QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59)));
    m_edit->setDisplayFormat("HH:mm:ss");
    m_edit->setDateTime(QDateTime(QDate(1899, 12, 30), QTime(0, 0)));
    connect(m_edit, &QDateTimeEdit::dateTimeChanged, this, &cDateTimePick::Change);
    if (QLineEdit* text = m_edit->findChild<QLineEdit*>()) text->installEventFilter(this);
}

bool cDateTimePick::eventFilter(QObject* watched, QEvent* event)
{
    // Once the click has placed the cursor, the part under it is selected.
    if (event->type() == QEvent::MouseButtonRelease)
        QTimer::singleShot(0, m_edit, [edit = m_edit] { edit->setSelectedSection(edit->currentSection()); });
    return QWidget::eventFilter(watched, event);
}

QDateTime cDateTimePick::Value() const { return m_edit->dateTime(); }
void cDateTimePick::SetValue(const QDateTime& value) { m_edit->setDateTime(value); }
QString cDateTimePick::CustomFormat() const { return m_edit->displayFormat(); }
void cDateTimePick::SetCustomFormat(const QString& format) { m_edit->setDisplayFormat(format); }
