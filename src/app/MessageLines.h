#pragma once
// The two lines under the entry fields: the message line (normal, or red for
// a dupe) and the line of possible dupes, with the button that turns the
// possible-dupe hints on and off. The grid map borrows the second line for
// its square summaries.
#include <QWidget>

class QLabel;
class QPushButton;

class MessageLines : public QWidget {
    Q_OBJECT
public:
    explicit MessageLines(QWidget *parent = nullptr);

    void setMessage(const QString &text);
    void setMessage(const QString &text, quint32 bgr);
    void setMessageBackground(quint32 bgr);
    // The line of possible dupes; highlighted on the message colour.
    void setHint(const QString &text, bool highlighted = false);
    void clearHintText();
    // Empty and back to the plain background.
    void resetHint();
    void unhighlightHint();
    void setHintBackground(quint32 bgr);
    bool hintsOn() const { return m_hintsOn; }

signals:
    void hintsSwitched();

private:
    QLabel *m_message = nullptr;
    QLabel *m_hint = nullptr;
    QPushButton *m_hintsButton = nullptr;
    bool m_hintsOn = true;
};
