// The score panel, the grid map and the contact list of the main window.
#include "app/ClickableLabel.h"
#include "app/Colors.h"
#include "app/Form1.h"
#include "app/EditContactDialog.h"
#include "app/GridColoursDialog.h"
#include "log/Bands.h"
#include "log/ContactList.h"
#include "log/GridMap.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidget>

void Form1::connectPanels()
{
    for (int i = 0; i < GridMapCells; ++i) {
        connect(lblGrid[i], &ClickableLabel::clicked, this, [this, i] {
            txtSec->setText(lblGrid[i]->text());
            txtSec_Change();
        });
        connect(lblGrid[i], &ClickableLabel::hovered, this, [this, i] {
            lblDupe->setText(gridSummary(store.mirror(), lblGrid[i]->text()));
        });
    }
    connect(Command7, &QPushButton::clicked, this, [this] { scrollMap(1, 0); });
    connect(Command4, &QPushButton::clicked, this, [this] { scrollMap(-1, 0); });
    connect(Command5, &QPushButton::clicked, this, [this] { scrollMap(0, 2); });
    connect(Command6, &QPushButton::clicked, this, [this] { scrollMap(0, -2); });
    connect(txtSec, &QLineEdit::textChanged, this, [this] { txtSec_Change(); });

    connect(cmdList, &QPushButton::clicked, this, [this] {
        listAll = !listAll;
        cmdList->setText(listAll ? QStringLiteral("All") : QStringLiteral("Last 20"));
        FillContactList();
        txtCall->setFocus();
    });
    connect(Command3, &QPushButton::clicked, this, [this] {
        Command3->setText(Command3->text() == QLatin1String("All Bands") ? QStringLiteral("Current Band")
                                                                         : QStringLiteral("All Bands"));
        FillContactList();
        txtCall->setFocus();
    });
    connect(ListView1, &QTreeWidget::itemClicked, this, [this] {
        if (ListView1->topLevelItemCount() == 0)
            return;
        cmdEdit->setVisible(true);
        cmdDelete->setVisible(true);
        Timer3->stop();
    });
    connect(ListView1->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { ListView1->sortItems(column, Qt::AscendingOrder); });
    ListView1->viewport()->installEventFilter(this);
    for (int i = 0; i < 2; ++i) {
        gridLists[i]->viewport()->installEventFilter(this);
    }
    mnuColors->setEnabled(true);
    mnuCopyListtoClipboard->setEnabled(true);
}

// ---------------------------------------------------------------- reload

void Form1::refreshDerived()
{
    resetGridColors();
    tally.recompute(store.mirror(), station.contestType, station.isRover());
    // Built now, so that the first key after a reload finds it ready.
    dupeIndex.rebuild(store.mirror());
    for (int i = 0; i < Bands::PanelCount; ++i)
        showGridList(i);
    FillContactList();
    TimeStats();
    Labeldisplay();
    MarkWorkedGrids();
}

void Form1::showGridList(int band)
{
    // Most reloads add a grid or two at the end of a list: only those are
    // added, the list is rebuilt only when it changed otherwise.
    QListWidget *list = gridLists[band];
    const QStringList &grids = tally.workedGrids(band);
    const int shown = list->count();
    bool prefix = shown <= grids.size();
    for (int i = 0; prefix && i < shown; ++i)
        prefix = list->item(i)->text() == grids.at(i);
    if (!prefix) {
        list->clear();
        list->addItems(grids);
    } else if (shown < grids.size()) {
        list->addItems(grids.mid(shown));
    }
}

void Form1::Labeldisplay()
{
    const ScoreTotals t = ::Labeldisplay(tally, station.contestType, station.isRover());
    lblTotCon->setText(QString::number(t.contacts));
    lblTotSec->setText(QString::number(t.qsoPoints));
    lblsectogo->setText(QString::number(t.multipliers));
    lblTotScore->setText(QString::number(t.score));
    for (int i = 0; i < Bands::PanelCount; ++i)
        bandCountLabels[i]->setText(countLabelText(tally, i));
}

void Form1::TimeStats()
{
    QDateTime utc = Clock::stationUtc(station.utcOffsetHours);
    utc.setTime(QTime(utc.time().hour(), utc.time().minute(), utc.time().second()));
    const Rates r = ::TimeStats(store.mirror(), utc);
    lblAQSO60->setText(QString::number(r.last60));
    lblAQSO20->setText(QString::number(r.last20PerHour));
}

void Form1::txtSec_Change()
{
    const QString grid = txtSec->text();
    Label3->setVisible(showsNewMark(tally, station.currentBand, grid, station.contestType,
                                    station.isRover(), station.ownGrid));
    if (grid.size() < 2) {
        Label23->clear();
        Label24->clear();
        return;
    }
    if (const auto texts = bearingTextsForGrid(station.latitude, station.longitude, grid)) {
        Label23->setText(texts->first);
        Label24->setText(texts->second);
    }
}

// ---------------------------------------------------------------- grid map

void Form1::setPositionFromGrid()
{
    const GeoPoint p = GridToPosition(station.ownGrid);
    station.latitude = p.lat;
    station.longitude = p.lonW;
}

void Form1::GridFill()
{
    const auto captions = ::GridFill(station.latitude, station.longitude, mapRowOffset, mapColumnOffset);
    if (captions[0].isEmpty())
        return;
    for (int i = 0; i < GridMapCells; ++i)
        lblGrid[i]->setText(captions[i]);
}

void Form1::resetGridColors()
{
    for (ClickableLabel *cell : lblGrid)
        setTextColor(cell, bgrColor(static_cast<quint32>(station.remainingColor)));
}

void Form1::MarkWorkedGrids()
{
    const int band = Bands::indexOf(station.currentBand);
    if (band < 0)
        return;
    QStringList worked;
    if (band < Bands::PanelCount) {
        for (int i = 0; i < gridLists[band]->count(); ++i)
            worked.append(gridLists[band]->item(i)->text());
    } else {
        worked = tally.workedGrids(band);
    }
    std::array<QString, GridMapCells> captions;
    for (int i = 0; i < GridMapCells; ++i)
        captions[i] = lblGrid[i]->text();
    const QColor workedColor = bgrColor(static_cast<quint32>(station.workedColor));
    for (int i : workedCellIndexes(captions, worked))
        setTextColor(lblGrid[i], workedColor);
}

void Form1::scrollMap(float rows, float columns)
{
    mapRowOffset += rows;
    mapColumnOffset += columns;
    resetGridColors();
    GridFill();
    MarkWorkedGrids();
    txtCall->setFocus();
}

void Form1::Command2_Click()
{
    const bool showMap = Command2->text() == QLatin1String("View Grids");
    Command2->setText(showMap ? QStringLiteral("View Bands") : QStringLiteral("View Grids"));
    bandView->setVisible(!showMap);
    gridView->setVisible(showMap);
    station.view = Command2->text();
    SavePref();
    txtCall->setFocus();
}

void Form1::mnuColors_Click()
{
    GridColoursDialog w(static_cast<quint32>(station.workedColor), static_cast<quint32>(station.remainingColor), this);
    w.exec();
    station.workedColor = static_cast<qint32>(w.worked());
    station.remainingColor = static_cast<qint32>(w.remaining());
    SavePref();
    WorkList();
}

// ---------------------------------------------------------------- contact list

void Form1::FillContactList()
{
    ListView1->clear();
    const bool bandOnly = Command3->text() == QLatin1String("Current Band");
    QList<QTreeWidgetItem *> items;
    for (int rec : contactListRows(store.mirror(), listAll, bandOnly, station.currentBand))
        items.append(new QTreeWidgetItem(contactListColumns(store.mirror(), rec)));
    ListView1->addTopLevelItems(items);
}

int Form1::selectedRecord() const
{
    QTreeWidgetItem *item = ListView1->currentItem();
    if (!item || !item->isSelected())
        return 0;
    return item->text(0).toInt();
}

void Form1::cmdDelete_Click()
{
    Timer3->stop();
    const auto a = Dialogs::get().message(this, QStringLiteral("Are you sure?"), QStringLiteral("Are you sure?"),
                                          Dialogs::Buttons::YesNo);
    cmdEdit->setVisible(false);
    cmdDelete->setVisible(false);
    if (a != Dialogs::Answer::Yes)
        return;
    const int rec = selectedRecord();
    if (rec > 0) {
        QString why;
        if (!store.deleteContact(rec, &why))
            qWarning("delete failed: %s", qPrintable(why));
    }
    WorkList();
    Timer3->start();
}

void Form1::cmdEdit_Click()
{
    Timer3->stop();
    editIndex = selectedRecord();
    if (editIndex > 0) {
        const QString selectedCall = ListView1->currentItem()->text(1);
        EditContactDialog w(store.mirror(), editIndex, this);
        w.save = [this, selectedCall](const QsoRecord &n) {
            QString why;
            if (!store.updateContact(editIndex, selectedCall, n, &why)) {
                qWarning("update failed: %s", qPrintable(why));
                return false;
            }
            return true;
        };
        bool deleteAsked = false;
        w.deleteDupe = [&deleteAsked] { deleteAsked = true; };
        w.exec();
        if (deleteAsked) {
            // Delete Contact reloads and restarts the refresh when it
            // deletes; answered No, the window's own closing does.
            const int before = reloads;
            cmdDelete_Click();
            if (reloads != before)
                return;
        }
    }
    cmdEdit->setVisible(false);
    cmdDelete->setVisible(false);
    WorkList();
    Timer3->start();
}

void Form1::mnuCopyListtoClipboard_Click()
{
    QList<QStringList> rows;
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        QTreeWidgetItem *it = ListView1->topLevelItem(i);
        QStringList cols;
        for (int c = 0; c < ListView1->columnCount(); ++c)
            cols.append(it->text(c));
        rows.append(cols);
    }
    QClipboard *cb = QApplication::clipboard();
    cb->clear();
    cb->setText(clipboardText(contactListHeaders(), rows));
}

void Form1::mnuRecall_Click()
{
    if (store.recordCount() == 0)
        return;
    const QsoRecord &last = store.mirror().at(store.recordCount());
    txtCall->setFocus();
    txtCall->setText(last.calls);
    txtSec->setText(last.gridr);
    txtSec->selectAll();
    // On to the report field, whose focus handling offers the reports.
    focusNextChild();
}
