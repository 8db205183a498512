#include "controls/DateTimePick.h"

#include <QDateTimeEdit>
#include <QHBoxLayout>

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
}

QDateTime cDateTimePick::Value() const { return m_edit->dateTime(); }
void cDateTimePick::SetValue(const QDateTime& value) { m_edit->setDateTime(value); }
QString cDateTimePick::CustomFormat() const { return m_edit->displayFormat(); }
void cDateTimePick::SetCustomFormat(const QString& format) { m_edit->setDisplayFormat(format); }
