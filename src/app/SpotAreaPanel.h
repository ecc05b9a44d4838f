#pragma once
// The main window's spot area: the spot list (newest on top, at most 200
// rows) or the band map of the current band, whose labels carry the spotted
// prefixes along a frequency scale in their age colours. Hovering a label
// shows its call, frequency and time on the line of possible dupes; a left
// click removes the spot, a right click chooses it, as does choosing a list
// row. The label above opens the spotting window.
#include <QWidget>
#include <array>

class ClickableLabel;
class QLabel;
class QTreeWidget;
class SpotStore;

class SpotAreaPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int MaxRows = 200;

    explicit SpotAreaPanel(SpotStore &store, QWidget *parent = nullptr);

    // The list, or the band map.
    void showList(bool list);
    bool showsList() const { return m_list; }
    // Draws the band map for the band and the station's UTC offset.
    void redraw(const QString &bandLabel, double utcOffsetHours);
    // A new row on top of the list.
    void addRow(const QString &call, float mhz, const QString &record);

signals:
    void labelClicked();
    void spotChosen(const QString &call, double frequencyKHz);
    void spotHovered(const QString &toolTip);

protected:
    void resizeEvent(QResizeEvent *e) override;

private:
    class MapView;
    void placeLabels();

    SpotStore &m_store;
    bool m_list = true;
    ClickableLabel *m_caption = nullptr;
    QTreeWidget *m_rows = nullptr;
    MapView *m_map = nullptr;
    QString m_band;
    double m_utcOffset = 0;
};
