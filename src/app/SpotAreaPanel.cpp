#include "app/SpotAreaPanel.h"

#include "app/ClickableLabel.h"
#include "app/Colors.h"
#include "app/Controls.h"
#include "platform/Clock.h"
#include "platform/SeqFile.h"
#include "spots/SpotStore.h"

#include <QHeaderView>
#include <algorithm>
#include <QPainter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int Margin = 30;
constexpr int Rows = 3; // label rows, so that close spots do not cover each other

// A band map label: reports a hover, a left click and a right click.
class SpotLabel : public QLabel {
public:
    explicit SpotLabel(QWidget *parent) : QLabel(parent) { setMouseTracking(true); }
    std::function<void()> hovered, leftClicked, rightClicked;

protected:
    void mouseMoveEvent(QMouseEvent *e) override
    {
        if (hovered)
            hovered();
        e->accept();
    }
    void mouseReleaseEvent(QMouseEvent *e) override
    {
        if (!rect().contains(e->position().toPoint()))
            return;
        if (e->button() == Qt::LeftButton && leftClicked)
            leftClicked();
        else if (e->button() == Qt::RightButton && rightClicked)
            rightClicked();
    }
};
} // namespace

// The scale line and its five marks, with the spot labels above it.
class SpotAreaPanel::MapView : public QWidget {
public:
    explicit MapView(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("bandMap"));
        setMinimumHeight(90);
        setBackground(this, QColor(Qt::black));
        for (int k = 0; k < 5; ++k) {
            marks[size_t(k)] = Controls::label(this, "");
            marks[size_t(k)]->setObjectName(QStringLiteral("lblFreqSpot_%1").arg(k));
            setTextColor(marks[size_t(k)], Qt::white);
        }
        for (int i = 0; i < SpotStore::Size; ++i) {
            auto *l = new SpotLabel(this);
            l->setObjectName(QStringLiteral("lblDXSpot_%1").arg(i));
            l->hide();
            spots[size_t(i)] = l;
        }
    }
    int xAt(double position) const { return Margin + int(position * (width() - 2 * Margin)); }
    int lineY() const { return height() - 28; }

    std::array<QLabel *, 5> marks{};
    std::array<SpotLabel *, SpotStore::Size> spots{};

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setPen(Qt::white);
        p.drawLine(xAt(0), lineY(), xAt(1), lineY());
        for (int k = 0; k < 5; ++k)
            p.drawLine(xAt(k * 0.25), lineY() - 4, xAt(k * 0.25), lineY() + 4);
    }
};

SpotAreaPanel::SpotAreaPanel(SpotStore &store, QWidget *parent) : QWidget(parent), m_store(store)
{
    setObjectName(QStringLiteral("spotArea"));
    auto *box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(2);
    m_caption = new ClickableLabel(QStringLiteral("DX Spots (click to set up)"), this);
    m_caption->setObjectName(QStringLiteral("lblDX"));
    connect(m_caption, &ClickableLabel::clicked, this, &SpotAreaPanel::labelClicked);
    box->addWidget(m_caption);

    m_rows = new QTreeWidget(this);
    m_rows->setObjectName(QStringLiteral("txtDX"));
    m_rows->setRootIsDecorated(false);
    m_rows->setHeaderLabels({QStringLiteral("Call"), QStringLiteral("Frequency"), QStringLiteral("QTH"),
                             QStringLiteral("Status"), QStringLiteral("Comments"), QStringLiteral("Prefix"),
                             QStringLiteral("Time"), QStringLiteral("From")});
    m_rows->setMaximumHeight(110);
    connect(m_rows, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) {
        const auto mhz = parseNumber(item->text(1));
        emit spotChosen(item->text(0), mhz ? *mhz * 1000.0 : 0.0);
    });
    box->addWidget(m_rows);

    m_map = new MapView(this);
    box->addWidget(m_map);
    for (int i = 0; i < SpotStore::Size; ++i) {
        SpotLabel *l = m_map->spots[size_t(i)];
        l->hovered = [this, l] { emit spotHovered(l->toolTip()); };
        l->leftClicked = [this, i] { m_store.remove(i); };
        l->rightClicked = [this, i] {
            const Spot &s = m_store.at(i);
            emit spotChosen(s.call, double(s.mhz) * 1000.0);
        };
    }
    showList(true);
}

void SpotAreaPanel::showList(bool list)
{
    m_list = list;
    m_rows->setVisible(list);
    m_map->setVisible(!list);
    if (!list)
        placeLabels();
}

void SpotAreaPanel::redraw(const QString &bandLabel, double utcOffsetHours)
{
    m_band = bandLabel;
    m_utcOffset = utcOffsetHours;
    if (!m_list)
        placeLabels();
}

void SpotAreaPanel::placeLabels()
{
    for (SpotLabel *l : m_map->spots)
        l->hide();
    const SpotMap::Scale scale = SpotMap::scale(m_band, m_store);
    for (int k = 0; k < 5; ++k) {
        QLabel *mark = m_map->marks[size_t(k)];
        mark->setText(scale.markText(k));
        mark->adjustSize();
        mark->move(m_map->xAt(k * 0.25) - mark->width() / 2, m_map->lineY() + 6);
    }
    std::array<int, Rows> rowEnds;
    rowEnds.fill(-1000);
    // Placed from left to right, each on the lowest row where it is free.
    auto labels = SpotMap::labels(m_store, scale, Clock::localNow(), m_utcOffset);
    std::stable_sort(labels.begin(), labels.end(),
                     [](const SpotMap::Label &a, const SpotMap::Label &b) { return a.position < b.position; });
    for (const SpotMap::Label &s : labels) {
        SpotLabel *l = m_map->spots[size_t(s.slot)];
        l->setText(s.caption);
        l->setToolTip(s.toolTip);
        setTextColor(l, s.colour);
        l->adjustSize();
        int x = m_map->xAt(s.position) - l->width() / 2;
        int row = 0;
        while (row < Rows - 1 && rowEnds[size_t(row)] > x)
            ++row;
        x = std::max(0, std::min(x, m_map->width() - l->width()));
        rowEnds[size_t(row)] = x + l->width() + 2;
        l->move(x, m_map->lineY() - (row + 1) * (l->height() + 2));
        l->show();
    }
}

void SpotAreaPanel::addRow(const QString &call, float mhz, const QString &record)
{
    while (m_rows->topLevelItemCount() >= MaxRows)
        delete m_rows->takeTopLevelItem(m_rows->topLevelItemCount() - 1);
    QStringList columns{call, seqNumber(mhz)};
    columns += SpotMap::listColumns(record);
    m_rows->insertTopLevelItem(0, new QTreeWidgetItem(columns));
}

void SpotAreaPanel::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    if (!m_list)
        placeLabels();
}
