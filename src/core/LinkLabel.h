#pragma once
// A label that acts as a link: blue, a pointing-hand pointer, and a Click.
#include <QLabel>

class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

signals:
    void Click();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
