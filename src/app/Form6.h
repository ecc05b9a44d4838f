#pragma once
// The colour window of the grid map: the colours of worked and remaining
// squares, each chosen with the colour chooser.
#include <QDialog>

class QLabel;
class QPushButton;

class Form6 : public QDialog {
    Q_OBJECT
public:
    Form6(quint32 worked, quint32 remaining, QWidget *parent = nullptr);
    quint32 worked() const { return m_worked; }
    quint32 remaining() const { return m_remaining; }

    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QPushButton *Command3 = nullptr; // worked
    QPushButton *Command1 = nullptr; // remaining
    QPushButton *Command6 = nullptr; // done

private:
    void paintSamples();
    quint32 m_worked;
    quint32 m_remaining;
};
