#pragma once
// The skin every window applies when it loads: title strip colours from the
// settings, the edition's back colour and pictures.
#include "platform/ColorNumbers.h"

#include <QColor>
#include <QString>
#include <cstdint>
#include <initializer_list>

class QLabel;
class QWidget;

using platform::ColorFromNumber;
using platform::NumberFromColor;

void SetBackColor(QWidget* widget, const QColor& color);
void SetForeColor(QWidget* widget, const QColor& color);
void SetBackPicture(QWidget* widget, const QString& file);

// Title strip: back colour g_lColor, label text colour g_lTextColor, and the
// edition's title picture. The window and its panels: the edition's colour
// and background picture.
void ApplyWindowSkin(QWidget* window, QWidget* picTitle, QLabel* lblTitle, std::initializer_list<QWidget*> panels = {});
