#pragma once
// The frequency privileges of a licence class: a bar per band of the band
// plan and, on it, the segments the class may use, blue for CW and green
// for phone, each with its edges as caption and tool tip. A button per
// class redraws the chart; it opens on the Extra class.
#include "spots/BandPlan.h"

#include <QDialog>

class QLabel;

class PrivilegesWindow : public QDialog {
    Q_OBJECT
public:
    explicit PrivilegesWindow(const BandPlan &plan, QWidget *parent = nullptr);

    // Draws the chart of a class letter (N, T, P, G, A, E).
    void showClass(QChar licence);

private:
    BandPlan m_plan;
    QLabel *m_heading = nullptr;
    QWidget *m_chart = nullptr;
};
