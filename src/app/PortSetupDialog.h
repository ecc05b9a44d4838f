#pragma once
// A keyer's setup window. When the keyer cannot open its port it comes up
// modal, so the operator corrects the port before going on; once hidden it
// is an ordinary window again.
#include <QDialog>

class PortSetupDialog : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

    void showModallyForCorrection()
    {
        if (isVisible())
            return;
        setWindowModality(Qt::ApplicationModal);
        show();
        raise();
        activateWindow();
    }

protected:
    void hideEvent(QHideEvent *event) override
    {
        QDialog::hideEvent(event);
        setWindowModality(Qt::NonModal);
    }
};
