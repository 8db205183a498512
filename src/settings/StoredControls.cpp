#include "settings/StoredControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSlider>

namespace {

QString storedText(const QVariant& stored) { return stored.isValid() ? stored.toString() : QString(); }

// A whole number written in decimal, blanks around it allowed.
bool wholeNumber(const QString& text, int* value)
{
    bool ok = false;
    int n = text.trimmed().toInt(&ok);
    if (ok) *value = n;
    return ok;
}

} // namespace

QString ItemTextOf(const QComboBox* box) { return box->currentIndex() >= 0 ? box->currentText() : QString(); }

void ApplyItemText(QComboBox* box, const QVariant& stored)
{
    const QString text = storedText(stored);
    if (text.isEmpty()) return;
    for (int i = 0; i < box->count(); ++i) {
        if (box->itemText(i) == text) {
            box->setCurrentIndex(i);
            return;
        }
    }
}

QString ItemPositionOf(const QComboBox* box) { return QString::number(box->currentIndex()); }

void ApplyItemPosition(QComboBox* box, const QVariant& stored)
{
    const QString text = storedText(stored);
    int position = 0;
    if (!text.isEmpty() && !wholeNumber(text, &position)) return;
    if (position < -1 || position >= box->count()) return;
    box->setCurrentIndex(position);
}

int CheckValue(const QCheckBox* box)
{
    switch (box->checkState()) {
    case Qt::Checked: return 1;
    case Qt::PartiallyChecked: return 2;
    default: return 0;
    }
}

void SetCheckValue(QCheckBox* box, int value)
{
    if (value == 2) box->setTristate(true);
    box->setCheckState(value == 1 ? Qt::Checked : value == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}

QString CheckOf(const QCheckBox* box) { return QString::number(CheckValue(box)); }

void ApplyCheck(QCheckBox* box, const QVariant& stored)
{
    const QString text = storedText(stored);
    int value = 0;
    if (!text.isEmpty() && !wholeNumber(text, &value)) return;
    if (value < 0 || value > 2) return;
    SetCheckValue(box, value);
}

QString OptionOf(const QRadioButton* button) { return button->isChecked() ? "True" : "False"; }

void SetOptionValue(QRadioButton* button, bool selected)
{
    if (selected) {
        button->setChecked(true);
        return;
    }
    // Deselecting leaves the whole group without a choice, which a group of option buttons allows.
    bool exclusive = button->autoExclusive();
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(exclusive);
}

void ApplyOption(QRadioButton* button, const QVariant& stored)
{
    const QString text = storedText(stored).trimmed();
    bool isNumber = false;
    const double number = text.toDouble(&isNumber);
    if (text.isEmpty() || text.compare("False", Qt::CaseInsensitive) == 0)
        SetOptionValue(button, false);
    else if (text.compare("True", Qt::CaseInsensitive) == 0)
        SetOptionValue(button, true);
    else if (isNumber)
        SetOptionValue(button, number != 0);
}

QString NumberOf(const QSlider* slider) { return QString::number(slider->value()); }

void ApplyNumber(QSlider* slider, const QVariant& stored)
{
    const QString text = storedText(stored);
    int value = 0;
    if (!text.isEmpty() && !wholeNumber(text, &value)) return;
    if (value < slider->minimum() || value > slider->maximum()) return;
    slider->setValue(value);
}

void ApplyCaption(QLabel* label, const QVariant& stored, const QString& whenEmpty)
{
    const QString text = storedText(stored);
    label->setText(text.isEmpty() ? whenEmpty : text);
}

bool LeadingNumber(const QString& text, int* value)
{
    static const QRegularExpression leading("^\\s*(-?\\d+)");
    auto m = leading.match(text);
    if (!m.hasMatch()) return false;
    *value = m.captured(1).toInt();
    return true;
}
