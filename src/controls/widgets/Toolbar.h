#pragma once
// Toolbars, the panels that host them and the rebar. Buttons are numbered from
// 0 in the order they stand; each may carry a key, which is its identity for
// the windows. Icons are numbers in the toolbar's image list.
#include "controls/widgets/WidgetTypes.h"

#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <vector>

class QHBoxLayout;
class QToolBar;
class QToolButton;
class QAction;
class cImageList;

class cToolbar : public QWidget {
    Q_OBJECT
public:
    // Button styles of AddButton.
    enum ButtonStyle { StylePlain = 0, StyleSeparator = 1, StyleCheck = 2, StyleDropDown = 8 };

    explicit cToolbar(QWidget* parent = nullptr);
    ~cToolbar() override;

    // Look settings, given before CreateToolbar. ListStyle puts captions beside
    // the icons; otherwise ButtonTextPosition says where (0 beside, 1 below).
    std::int32_t DrawStyle() const { return m_drawStyle; }
    void SetDrawStyle(std::int32_t style) { m_drawStyle = style; }
    std::int32_t ButtonTextPosition() const { return m_textPosition; }
    void SetButtonTextPosition(std::int32_t position);
    bool ListStyle() const { return m_listStyle; }
    void SetListStyle(bool on);
    // Kept; buttons that do not fit go behind the bar's extension arrow.
    bool Wrappable() const { return m_wrappable; }
    void SetWrappable(bool on) { m_wrappable = on; }
    void SetImageList(cImageList* images);
    cImageList* ImageList() const { return m_imageList; }

    // Creates the bar: icon size in pixels, list style, flat buttons, wrapping.
    void CreateToolbar(int buttonSize, bool list, bool flat, bool wrap);
    // Appends a button, or puts it before the button keyed `keyBefore`. Image
    // -1: none; width 0: as wide as its contents; style as ButtonStyle.
    void AddButton(const QString& toolTip, int image = -1, const QString& keyBefore = QString(), int width = 0,
                   const QString& caption = QString(), int style = StylePlain, const QString& key = QString());
    int ButtonCount() const { return int(m_buttons.size()); }
    // The key of the button at a number ("" when none), and the number of the
    // button with a key (-1 when none).
    QString ButtonKey(int index) const;
    int ButtonIndex(const QString& key) const;
    bool ButtonChecked(const cItemRef& button) const;
    void SetButtonChecked(const cItemRef& button, bool checked);
    bool ButtonEnabled(const cItemRef& button) const;
    void SetButtonEnabled(const cItemRef& button, bool enabled);
    bool ButtonTextVisible(const cItemRef& button) const;
    void SetButtonTextVisible(const cItemRef& button, bool visible);
    QString ButtonCaption(const cItemRef& button) const;
    QString ButtonToolTip(const cItemRef& button) const;
    // Where a popup for a drop-down button opens: its bottom left corner, in
    // screen pixels.
    void GetDropDownPosition(int index, int& x, int& y) const;
    // The bar's window (what a host or a rebar band takes).
    QWidget* hWnd() { return this; }

    // The button widget at a number, nullptr for separators (tests click it).
    QToolButton* ButtonWidget(int index) const;
    // The arrow at the bar's end whose menu holds the buttons the bar has no
    // room for; hidden while every button fits.
    QToolButton* OverflowButton() const { return m_overflow; }

signals:
    // A button, or the body of a drop-down button, was pressed (after a check
    // button toggled).
    void ButtonClick(int buttonIndex);
    // The arrow of a drop-down button was pressed.
    void ButtonDropDown(int buttonIndex);

private:
    class Button;
    class ButtonAction;
    struct Entry {
        QString key, toolTip, caption;
        int image = -1, style = StylePlain;
        bool textVisible = true;
        QToolButton* widget = nullptr; // nullptr for a separator
        QAction* action = nullptr;
    };

    int buttonNumber(const cItemRef& button) const;
    const Entry* entry(const cItemRef& button) const;
    int indexOf(const QToolButton* widget) const;
    void updateButton(Entry& entry);
    void updateButtons();

    QToolBar* m_bar;
    QToolButton* m_overflow = nullptr;
    std::vector<Entry> m_buttons;
    QPointer<cImageList> m_imageList;
    std::int32_t m_drawStyle = 0;
    std::int32_t m_textPosition = 0;
    bool m_listStyle = false;
    bool m_wrappable = false;
    bool m_flat = true;
};

// A panel that takes a toolbar and draws a colour or a picture behind it.
class cToolbarHost : public QWidget {
    Q_OBJECT
public:
    explicit cToolbarHost(QWidget* parent = nullptr);

    // Takes the toolbar into the host.
    void Capture(cToolbar* toolbar);
    cToolbar* Captured() const { return m_toolbar; }
    QString BackgroundPictureFile() const { return m_pictureFile; }
    void SetBackgroundPictureFile(const QString& path);
    std::int32_t BackColor() const { return m_backColor; }
    void SetBackColor(std::int32_t color);

signals:
    // One of the window's own controls was dropped here; x, y in twips.
    void DragDrop(QObject* source, float x, float y);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QHBoxLayout* m_layout;
    QPointer<cToolbar> m_toolbar;
    QString m_pictureFile;
    QPixmap m_picture;
    std::int32_t m_backColor = std::int32_t(0x8000000F);
};

// A strip of bands, each holding one window; created inside a parent window,
// whose width it takes. Bands are numbered from 0.
class cReBar : public QWidget {
    Q_OBJECT
public:
    explicit cReBar(QWidget* parent = nullptr);

    std::int32_t ImageSource() const { return m_imageSource; }
    void SetImageSource(std::int32_t source) { m_imageSource = source; }
    // Places the rebar along the top of `parent`.
    void CreateRebar(QWidget* parent);
    // Adds a band holding `child`: caption, whether the band starts a new line
    // (kept) and whether it has a fixed size (no grip), and a key.
    void AddBandByHwnd(QWidget* child, const QString& caption = QString(), bool newLine = false,
                       bool fixedSize = false, const QString& key = QString());
    int BandCount() const { return int(m_bands.size()); }
    QString BandKey(int band) const;
    QWidget* BandChild(int band) const;
    // The least width of a band's window, in pixels.
    int BandChildMinWidth(int band) const;
    void SetBandChildMinWidth(int band, int width);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Band {
        QString key;
        QPointer<QWidget> child;
        int minWidth = 0;
        bool newLine = false, fixedSize = false;
    };
    const Band* band(int index) const;
    void fitParent();

    QHBoxLayout* m_layout;
    std::vector<Band> m_bands;
    std::int32_t m_imageSource = 0;
};
