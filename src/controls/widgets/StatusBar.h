#pragma once
// The status bar: panels numbered from 1, each with a key, text, tool tip and
// icon; a click on a panel raises PanelClick with its number.
#include "controls/widgets/WidgetTypes.h"

#include <QPointer>
#include <QWidget>
#include <cstdint>
#include <vector>

class QHBoxLayout;
class cImageList;

class cStatusBar : public QWidget {
    Q_OBJECT
public:
    explicit cStatusBar(QWidget* parent = nullptr);
    ~cStatusBar() override;

    cImageList* ImageList() const { return m_imageList; }
    void SetImageList(cImageList* images);
    std::int32_t BackColor() const { return m_backColor; }
    void SetBackColor(std::int32_t color);

    // Appends a panel and returns its number. minWidth in pixels; a spring
    // panel takes the room left over; fitContents sizes the panel to its
    // text. style and flags are kept.
    int AddPanel(int style = 0, const QString& text = QString(), const QString& toolTip = QString(),
                 int iconIndex = -1, int minWidth = 0, bool spring = false, bool fitContents = false,
                 int flags = 0, const QString& key = QString());
    int PanelCount() const { return int(m_panels.size()); }
    // Panels by key or number; reads of a missing panel give "" and -1.
    QString PanelText(const cItemRef& panel) const;
    void SetPanelText(const cItemRef& panel, const QString& text);
    int PanelIcon(const cItemRef& panel) const;
    void SetPanelIcon(const cItemRef& panel, int iconIndex);
    QString PanelToolTip(const cItemRef& panel) const;
    void SetPanelToolTip(const cItemRef& panel, const QString& toolTip);
    QString PanelKey(int index) const;
    int PanelIndex(const QString& key) const;

    // The panel's widget (tests click it).
    QWidget* PanelWidget(const cItemRef& panel) const;

signals:
    void PanelClick(int index);

private:
    class Panel;
    Panel* panel(const cItemRef& ref) const;
    int numberOf(const Panel* p) const;

    QHBoxLayout* m_layout;
    std::vector<Panel*> m_panels;
    QPointer<cImageList> m_imageList;
    std::int32_t m_backColor = std::int32_t(0x8000000F);
};
