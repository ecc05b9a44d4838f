#pragma once
// The HF spectrum map: the spots of the store on eleven band rows at once,
// 160 m to 2 m, each labelled with its prefix, its call, frequency and UTC
// arrival in the tool tip, and coloured by age. A right click on a spot
// tunes to it; a left click takes it off the maps.
#include "spots/SpectrumRows.h"

#include <QDialog>
#include <array>

class QLabel;

class SpectrumMapWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int SpotLabels = 50;

    explicit SpectrumMapWindow(double utcOffsetHours, QWidget *parent = nullptr);

    // The spots, oldest first; the map is drawn anew.
    void setSpots(const QList<MapSpot> &spots);
    void redraw();

signals:
    void spotChosen(const QString &call, double frequencyKHz);
    // Left click: the spot (its index in the list) is taken off the maps.
    void spotDismissed(int spot, const QString &call);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *e) override;

private:
    QList<MapSpot> m_spots;
    double m_utcOffset;
    QWidget *m_canvas = nullptr;
    std::array<QLabel *, SpotLabels> m_spotLabels{};
    std::array<int, SpotLabels> m_labelSpot{}; // which spot each label shows
};
