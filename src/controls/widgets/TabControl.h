#pragma once
// The tab control: a row of tabs numbered from 1, each with a caption, an icon
// and a key, above a page area. The pages themselves are the window's own
// panels, which it places over the page area (ClientLeft... in twips).
#include <QPointer>
#include <QRect>
#include <QWidget>

class QTabBar;
class cImageList;

class cTabControl : public QWidget {
    Q_OBJECT
public:
    explicit cTabControl(QWidget* parent = nullptr);

    cImageList* ImageList() const { return m_imageList; }
    void SetImageList(cImageList* images);

    // Adds a tab at a position from 1 (-1: at the end) and returns its number.
    int AddTab(const QString& caption, int iconIndex = -1, int position = -1, const QString& key = QString());
    void ClearTabs();
    int TabCount() const;
    // The current tab, 0 when there is none.
    int SelectedTab() const;
    void SetSelectedTab(int index);
    // Makes the tab with that key current (no TabClick).
    void SelectTab(const QString& key);
    // The number of the tab with that key, 0 when none.
    int TabIndex(const QString& key) const;
    QString TabKey(int index) const;
    QString TabCaption(int index) const;

    // The page area in twips, in the coordinates of the control's parent.
    int ClientLeft() const;
    int ClientTop() const;
    int ClientWidth() const;
    int ClientHeight() const;
    // The page area in pixels, in the control's own coordinates.
    QRect ClientRect() const;

    // The tab row (tests click it).
    QTabBar* TabBar() const { return m_bar; }

signals:
    // The user picked a tab.
    void TabClick(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QRect frameRect() const;
    void placeBar();
    void updateIcons();

    QTabBar* m_bar;
    QPointer<cImageList> m_imageList;
    bool m_selecting = false;
};
