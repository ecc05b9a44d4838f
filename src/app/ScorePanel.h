#pragma once
// The score side of the main window: totals and rates, the per-band counts
// and worked-grid lists (also the band buttons), or in their place the grid
// map, and the bearing and distance to the grid being typed.
#include "log/Bands.h"
#include "log/Score.h"

#include <QGroupBox>
#include <array>

class ClickableLabel;
class Contest;
class GridMapPanel;
class QLabel;
class QListWidget;
class QPushButton;

class ScorePanel : public QGroupBox {
    Q_OBJECT
public:
    explicit ScorePanel(Contest &contest, QWidget *parent = nullptr);

    GridMapPanel *gridMap() const { return m_gridMap; }
    // Everything computed from the log after a reload.
    void showLog();
    // What contacts read from the log after other PCs logged them changed.
    void showArrivals();
    void showTotals();
    void showRates();
    // The bands' colours and the map's worked squares for the current band.
    void showBand();
    // The own station changed: the map around it and the list tips.
    void showStation();
    // A contact of this PC was logged.
    void addContact(int bandIndex, const QString &newGridKey);
    void showBearing(const QString &grid);
    // The bands or the grid map, as the preferences say.
    void showView();

signals:
    void bandClicked(int bandIndex);
    // The operator is done with a control here; the caret goes back to the call.
    void doneWithControl();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showGridList(int bandIndex);
    void switchView();

    Contest &m_contest;
    RateCounter m_rates;
    QLabel *m_contacts = nullptr;
    QLabel *m_qsoPoints = nullptr;
    QLabel *m_multipliers = nullptr;
    QLabel *m_score = nullptr;
    QLabel *m_rate60 = nullptr;
    QLabel *m_rate20 = nullptr;
    QPushButton *m_viewSwitch = nullptr;
    QWidget *m_bandView = nullptr;
    std::array<ClickableLabel *, Bands::PanelCount> m_bandCaptions{};
    std::array<ClickableLabel *, Bands::PanelCount> m_bandCounts{};
    std::array<QListWidget *, Bands::PanelCount> m_gridLists{};
    // What each grid list shows, to compare with the tallies cheaply.
    std::array<QStringList, Bands::PanelCount> m_shownGrids;
    GridMapPanel *m_gridMap = nullptr;
    QLabel *m_bearing = nullptr;
    QLabel *m_distance = nullptr;
};
