#pragma once
// A label that acts as a link: blue, a pointing-hand pointer, and a Click.
// Disabled, it looks like any disabled label: grey, with the usual pointer.
#include <QLabel>

class LinkLabel : public QLabel {
    Q_OBJECT
public:
    explicit LinkLabel(const QString& text, QWidget* parent = nullptr);

signals:
    void Click();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ShowEnabledState();
};
