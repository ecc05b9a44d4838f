#pragma once
// A label that reports clicks, right-button presses and mouse moves, for the
// band labels of the score panel, the mode label and the grid-map cells.
#include <QLabel>
#include <QMouseEvent>

class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickableLabel(const QString &text = QString(), QWidget *parent = nullptr)
        : QLabel(text, parent)
    {
        setMouseTracking(true);
    }

signals:
    void clicked();
    void hovered();

protected:
    void mouseReleaseEvent(QMouseEvent *e) override
    {
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
            emit clicked();
        QLabel::mouseReleaseEvent(e);
    }
    void mouseMoveEvent(QMouseEvent *e) override
    {
        // A move over a label is not a move over the window's empty part.
        emit hovered();
        e->accept();
    }
};
