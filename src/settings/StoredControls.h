#pragma once
// How a dialog control's state is stored as a registry text and applied back.
// A text that the control cannot take leaves it as it was.
#include <QString>
#include <QVariant>

class QCheckBox;
class QComboBox;
class QLabel;
class QRadioButton;
class QSlider;

// A drop-down list stored by its selected item's text.
QString ItemTextOf(const QComboBox* box);
void ApplyItemText(QComboBox* box, const QVariant& stored);

// A drop-down list stored by its selected position (-1: nothing selected);
// empty selects position 0.
QString ItemPositionOf(const QComboBox* box);
void ApplyItemPosition(QComboBox* box, const QVariant& stored);

// A check box stored as "0" (clear), "1" (ticked) or "2" (greyed); empty clears it.
QString CheckOf(const QCheckBox* box);
void ApplyCheck(QCheckBox* box, const QVariant& stored);
int CheckValue(const QCheckBox* box);
void SetCheckValue(QCheckBox* box, int value);

// An option button stored as True or False; a number counts as True unless 0.
QString OptionOf(const QRadioButton* button);
void ApplyOption(QRadioButton* button, const QVariant& stored);
void SetOptionValue(QRadioButton* button, bool selected);

// A slider stored as its position; empty sets 0.
QString NumberOf(const QSlider* slider);
void ApplyNumber(QSlider* slider, const QVariant& stored);

// A caption stored as its text; empty gives `whenEmpty`.
void ApplyCaption(QLabel* label, const QVariant& stored, const QString& whenEmpty);

// The number at the start of an item's text ("8 " gives 8), as the lists hold them.
bool LeadingNumber(const QString& text, int* value);
