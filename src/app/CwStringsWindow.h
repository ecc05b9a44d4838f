#pragma once
// "CW Strings": the function-key messages at a glance; clicking a key or
// its message sends it. The main window's key filter watches this window
// too, so the function keys work here as well.
#include <QDialog>
#include <array>

class ClickableLabel;
class CwKeyer;
class QPushButton;

class CwStringsWindow : public QDialog {
    Q_OBJECT
public:
    explicit CwStringsWindow(CwKeyer &keyer, QWidget *parent = nullptr);

    // F1..F12: the key names and the messages (F12: "Keyboard").
    std::array<ClickableLabel *, 12> keyLabels{};
    std::array<ClickableLabel *, 12> messageLabels{}; // lblCWString
    QPushButton *doneButton = nullptr;

    // Shows the messages as the setup holds them now.
    void refresh();
    // A click on row i (0 for F1).
    void rowClicked(int i);

protected:
    bool event(QEvent *e) override;

private:
    CwKeyer &m_keyer;
};
