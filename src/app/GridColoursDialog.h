#pragma once
// The colour window of the grid map: the colours of worked and remaining
// squares, each chosen with the colour chooser and shown on its caption.
// Colours are platform colour values (bytes blue, green, red).
#include <QDialog>

class QLabel;
class QPushButton;

class GridColoursDialog : public QDialog {
    Q_OBJECT
public:
    GridColoursDialog(quint32 worked, quint32 remaining, QWidget *parent = nullptr);
    quint32 worked() const { return m_worked; }
    quint32 remaining() const { return m_remaining; }

private:
    // Lets the operator pick a new colour for one of the two.
    void chooseColour(quint32 &colour);
    void paintSamples();

    quint32 m_worked;
    quint32 m_remaining;
    QLabel *workedSample = nullptr;
    QLabel *remainingSample = nullptr;
    QPushButton *workedButton = nullptr;
    QPushButton *remainingButton = nullptr;
    QPushButton *doneButton = nullptr;
};
