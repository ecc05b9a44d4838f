#include "app/SpectrumMapWindow.h"

#include "app/Controls.h"
#include "platform/Clock.h"

#include <QFrame>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Controls;

namespace {
constexpr int Left = 60, Width = 720, RowHeight = 46, Top = 24;
const char *const RowNames[] = {"160 m", "80 m", "40 m", "30 m", "20 m", "17 m",
                                "15 m",  "12 m", "10 m", "6 m",  "2 m"};
int rowY(int r) { return Top + r * RowHeight; }
} // namespace

SpectrumMapWindow::SpectrumMapWindow(double utcOffsetHours, QWidget *parent)
    : QDialog(parent), m_utcOffset(utcOffsetHours)
{
    setObjectName(QStringLiteral("SpectrumMap"));
    setWindowTitle(QStringLiteral(" HF Spectrum Map"));
    m_canvas = new QWidget(this);
    m_canvas->setObjectName(QStringLiteral("picMap"));
    m_canvas->setFixedSize(Left + Width + 40, rowY(SpectrumMap::RowCount) + 10);
    for (int r = 0; r < SpectrumMap::RowCount; ++r) {
        auto *line = new QFrame(m_canvas);
        line->setObjectName(QStringLiteral("linRow_%1").arg(r));
        line->setFrameShape(QFrame::HLine);
        line->setGeometry(Left, rowY(r) + 18, Width, 2);
        QLabel *name = label(m_canvas, "lblRow", QString::fromLatin1(RowNames[r]));
        name->setObjectName(QStringLiteral("lblRow_%1").arg(r));
        name->setGeometry(4, rowY(r) + 10, Left - 8, 16);
        const QStringList marks = SpectrumMap::scaleTexts(SpectrumMap::rows()[r]);
        for (int k = 0; k < 5; ++k) {
            QLabel *mark = label(m_canvas, "lblFreqSpot", marks[k]);
            mark->setObjectName(QStringLiteral("lblFreqSpot_%1").arg(r * 5 + k));
            mark->setAlignment(Qt::AlignHCenter);
            mark->setGeometry(Left + k * Width / 4 - 30, rowY(r) + 22, 60, 16);
        }
    }
    for (int i = 0; i < SpotLabels; ++i) {
        QLabel *spot = label(m_canvas, "lblDXSpot");
        spot->setObjectName(QStringLiteral("lblDXSpot_%1").arg(i));
        spot->setAutoFillBackground(true);
        spot->setFrameShape(QFrame::Box);
        spot->setAlignment(Qt::AlignCenter);
        spot->hide();
        spot->installEventFilter(this);
        m_spotLabels[i] = spot;
    }
    auto *done = button(this, "cmdDone", QStringLiteral("&Done"));
    connect(done, &QPushButton::clicked, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_canvas);
    layout->addWidget(done, 0, Qt::AlignRight);
}

void SpectrumMapWindow::setSpots(const QList<MapSpot> &spots)
{
    m_spots = spots;
    redraw();
}

void SpectrumMapWindow::showEvent(QShowEvent *e)
{
    redraw();
    QDialog::showEvent(e);
}

void SpectrumMapWindow::redraw()
{
    for (QLabel *l : m_spotLabels)
        l->hide();
    const QList<SpectrumMap::Placed> placed = SpectrumMap::place(m_spots, Clock::localNow(), m_utcOffset);
    for (int i = 0; i < placed.size() && i < SpotLabels; ++i) {
        const SpectrumMap::Placed &p = placed[i];
        QLabel *l = m_spotLabels[i];
        m_labelSpot[i] = p.spot;
        l->setText(p.caption);
        l->setToolTip(p.toolTip);
        QPalette pal = l->palette();
        pal.setColor(QPalette::Window, Qt::black);
        pal.setColor(QPalette::WindowText, p.age == SpectrumMap::Age::Fresh    ? QColor(0xFF, 0xFF, 0x80)
                                           : p.age == SpectrumMap::Age::Recent ? QColor(Qt::white)
                                                                               : QColor(0xC0, 0xC0, 0xC0));
        l->setPalette(pal);
        l->adjustSize();
        const int x = Left + int(p.fraction * Width) - l->width() / 2;
        l->move(x, rowY(p.row));
        l->show();
        l->raise();
    }
}

bool SpectrumMapWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonPress)
        return QDialog::eventFilter(watched, event);
    const auto it = std::find(m_spotLabels.begin(), m_spotLabels.end(), watched);
    if (it == m_spotLabels.end())
        return false;
    const int spot = m_labelSpot[it - m_spotLabels.begin()];
    if (spot < 0 || spot >= m_spots.size())
        return true;
    const auto *e = static_cast<QMouseEvent *>(event);
    // Copies: what the signals set off may hand the map new spots.
    const QString call = m_spots[spot].call;
    const double khz = m_spots[spot].frequencyKHz;
    if (e->button() == Qt::RightButton) {
        emit spotChosen(call, khz);
    } else if (e->button() == Qt::LeftButton) {
        m_spots[spot].frequencyKHz = 0;
        redraw();
        emit spotDismissed(spot, call);
    }
    return true;
}
