#pragma once
// The date and time fields of post-contest mode, where contacts logged after
// the contest get the date and time the operator types: their captions, their
// key rules (digits and ":" or "/"; today's date offered) and the stamp they
// give a contact. The entry panel places them and asks them for the stamp.
#include <QObject>
#include <optional>

class QLabel;
class QLineEdit;
class QWidget;
struct QsoRecord;

class PostContestFields : public QObject {
    Q_OBJECT
public:
    explicit PostContestFields(QWidget *panel);

    QLineEdit *timeField() const { return m_time; }
    QLineEdit *dateField() const { return m_date; }
    QLabel *timeCaption() const { return m_timeCaption; }
    QLabel *dateCaption() const { return m_dateCaption; }
    void setOn(bool on);
    bool isOn() const { return m_on; }
    // Puts the typed date and time on the contact; the message for the
    // operator when either is no real date or time.
    std::optional<QString> stamp(QsoRecord &rec) const;

signals:
    void enterPressed();
    void spacePressed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_time = nullptr;
    QLineEdit *m_date = nullptr;
    QLabel *m_timeCaption = nullptr;
    QLabel *m_dateCaption = nullptr;
    bool m_on = false;
};
