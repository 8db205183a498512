#pragma once
// Window procedures shared by every window: always on top, transparency and icons.
#include <QString>
#include <cstdint>
#include <initializer_list>

class QFrame;
class QLabel;
class QWidget;
class cTabControl;

// Puts the window above all other windows, or back among them; also shows a
// hidden window, without activating it.
void SetFormOnTop(QWidget* form, bool on);
// 0 when applied; 1 when alpha is outside 0..255 (nothing changes); 2 on error.
std::int32_t SetTransparency(QWidget* form, int alpha);
std::int32_t RemoveTransparency(QWidget* form);
// Gives the window (and, with alsoOwner, its top owner first) the named icon;
// a name the program has no icon for leaves the window without an icon of its own.
void SetFormIcon32(QWidget* form, const QString& iconName, bool alsoOwner);
// The title strip across the top of a dialog: a frame as wide as the window
// and `height` pixels high, holding a large bold label.
void MakeTitleStrip(QWidget* window, int height, QFrame*& picTitle, QLabel*& lblTitle,
                    const QString& text = QString());
// Places each page over the tab control's page area, reaching `leftOverlapTwips`
// further left, and raises it over the control.
void PlaceTabPages(const cTabControl* tabs, std::initializer_list<QWidget*> pages, int leftOverlapTwips);
// The mouse position in screen pixels.
void GetMousePosition(std::int32_t& x, std::int32_t& y);
