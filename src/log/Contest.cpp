#include "log/Contest.h"

#include "log/Bands.h"
#include "log/Folders.h"
#include "log/GridMap.h"
#include "platform/Clock.h"

#include <QDir>
#include <QTimer>
#include <cmath>

namespace {

// Two digits: a leading "0" below 10, otherwise the last two digits.
QString twoDigits(qint64 v)
{
    if (v < 10)
        return QStringLiteral("0") + QString::number(v);
    return QString::number(v).right(2);
}

} // namespace

Contest::Contest(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("contest"));
    m_refreshTimer = new QTimer(this);
    m_refreshTimer->setObjectName(QStringLiteral("Timer3"));
    m_refreshTimer->setInterval(60000);
    connect(m_refreshTimer, &QTimer::timeout, this, &Contest::refreshTick);
    m_follower = new LogFollower(this);
    m_backup = new BackupWriter(m_store.mirror(), [this] { return m_mirrorGeneration; }, *m_follower, this);
    connect(m_backup, &BackupWriter::finished, this, [this](bool ok, const QString &why) {
        if (ok) {
            m_backupFailing = false;
            return;
        }
        qWarning("backup not written: %s", qPrintable(why));
        if (!m_backupFailing) {
            m_backupFailing = true;
            emit fileNotWritten(QStringLiteral("BckUpLog.dat"), why);
        }
    });
    m_logOnStart = Clock::localNow();
}

// ---------------------------------------------------------------- preferences

QStringList Contest::loadPreferences()
{
    m_station.recordRst = 1;
    m_station.formSizePercent = 100;
    m_logOnStart = Clock::localNow();
    const QStringList warnings = Preferences::load(m_station, Folders::workDir());
    m_refreshTimer->setInterval(static_cast<int>(m_station.refreshRateMs));
    return warnings;
}

bool Contest::savePreferences()
{
    QString why;
    if (Preferences::save(m_station, Folders::workDir(), &why)) {
        m_preferencesFailing = false;
        return true;
    }
    qWarning("preferences not saved: %s", qPrintable(why));
    if (!m_preferencesFailing) {
        m_preferencesFailing = true;
        emit fileNotWritten(Preferences::FileName, why);
    }
    return false;
}

void Contest::stationSetUp()
{
    m_serverName = Folders::serverName(m_station.logPath);
    if ((m_station.longitude == 0 || m_station.latitude == 0) && !m_station.ownGrid.isEmpty()) {
        const GeoPoint p = gridToPosition(m_station.ownGrid);
        m_station.latitude = p.lat;
        m_station.longitude = p.lonW;
    }
    savePreferences();
    emit stationChanged();
}

// ---------------------------------------------------------------- the log

bool Contest::openLog(const QString &path, QString *error)
{
    if (m_store.isOpen())
        m_store.close();
    if (!m_store.open(path, error))
        return false;
    // A server tells of other copies' changes at once; look then rather
    // than at the next tick.
    m_store.engine().setChangeListener([this] { checkForChanges(); });
    return true;
}

void Contest::closeLog()
{
    if (m_store.isOpen())
        m_store.close();
}

void Contest::reloadLog()
{
    QString why;
    ++m_reloads;
    ++m_mirrorGeneration;
    m_checkDue = m_loadDue = false;
    if (!m_store.reload(&why)) {
        qWarning("reload failed: %s", qPrintable(why));
        emit reloadFailed(why);
    }
    m_tally.recompute(m_store.mirror(), m_station.contestType, m_station.isRover());
    // Built now, so that the first key after a reload finds it ready.
    m_index.rebuild(m_store.mirror());
    emit logReloaded();
}

bool Contest::eraseLog(QString *error)
{
    if (!m_store.erase(error))
        return false;
    m_station.accumulatedOnSeconds = 0;
    m_totalOnSeconds = 0;
    savePreferences();
    return true;
}

LogAttempt Contest::logContact(const QsoRecord &rec, OnBusy onBusy)
{
    if (!m_store.isOpen())
        m_store.reconnect();
    const int band = Bands::indexOf(rec.uband);
    const int gridsBefore = band >= 0 ? m_tally.gridCount(band) : 0;
    const LogAttempt a = ::logContact(m_store, rec, onBusy);
    if (a.outcome != LogAttempt::Logged)
        return a;
    // The mirror already holds the contact.
    m_tally.addLogged(rec, m_station.contestType, m_station.isRover());
    m_index.sync(m_store.mirror());
    // A contact whose date and time belong before the last one's (entered
    // after the contest, or a PC whose clock is behind) is shown at once and
    // put in its place by a read of the whole log in the background.
    if (m_store.orderBroken())
        loadInBackground();
    QString newGrid;
    if (band >= 0 && m_tally.gridCount(band) > gridsBefore)
        newGrid = m_tally.workedGrids(band).last();
    emit contactLogged(rec, band, newGrid);
    return a;
}

LogAttempt Contest::checkEntry(const QString &call, const QString &grid, OnBusy onBusy)
{
    if (!m_store.isOpen())
        m_store.reconnect();
    return checkForDupe(m_store, call, grid, m_station.ownGrid, m_station.currentBand, onBusy);
}

void Contest::reconnectLog() { m_store.reconnect(); }

bool Contest::deleteContact(int recordNumber, QString *error)
{
    const bool done = m_store.deleteContact(recordNumber, error).has_value();
    // Whatever the statement did, the log's true state comes with the read;
    // answers about the log before the change are not used.
    ++m_mirrorGeneration;
    loadInBackground();
    return done;
}

bool Contest::updateContact(int recordNumber, const QString &selectedCall, const QsoRecord &values,
                            QString *error)
{
    const auto changed = m_store.updateContact(recordNumber, selectedCall, values, error);
    if (changed && *changed > 0) {
        // The list shows the edit at once; the tallies and the index follow
        // with the read (which also finds other rows the statement changed).
        m_store.mirror().replace(recordNumber, values);
        m_index.recordReplaced(recordNumber, m_store.mirror().at(recordNumber));
        emit recordEdited(recordNumber);
    }
    ++m_mirrorGeneration;
    loadInBackground();
    return changed.has_value();
}

PartialDupeResult Contest::partialDupeHint(const QString &fieldBefore, QChar key)
{
    m_index.sync(m_store.mirror());
    return m_index.onKey(fieldBefore, key, m_station.ownGrid, m_station.currentBand);
}

PreviousScan Contest::previousContacts(const QString &call, const QString &grid)
{
    m_index.sync(m_store.mirror());
    return previousContactScan(m_store.mirror(), m_index.recordsOfCall(call), grid, m_station.ownGrid,
                               m_station.currentBand, m_station.listPrevious == 1);
}

QString Contest::gridSummary(const QString &square)
{
    m_index.sync(m_store.mirror());
    return ::gridSummary(square, m_index.square(square));
}

// ---------------------------------------------------------------- refresh cycle

void Contest::refreshTick()
{
    m_backupTicks += 1;
    checkForChanges();
    if (m_backupTicks > 15) {
        m_backupTicks = 0;
        writeBackup();
    }
}

void Contest::writeBackup()
{
    m_backup->start(QDir(Folders::workDir()).filePath(QStringLiteral("BckUpLog.dat")));
}

void Contest::checkForChanges()
{
    // Keying CW must not be held up by a read of the shared log.
    if (m_keyerBusy)
        return;
    QString why;
    if (!m_store.isOpen())
        m_store.reconnect();
    switch (m_store.lookForChanges(&why)) {
    case LogStore::CheckResult::Failed:
        reloadLog();
        return;
    case LogStore::CheckResult::Busy:
        return;
    case LogStore::CheckResult::Unchanged:
    case LogStore::CheckResult::Changed:
        break;
    }
    if (!m_callInProgress)
        followChanges();
    runDueWork();
}

void Contest::followChanges()
{
    if (!m_store.mirror().logChanged)
        return;
    if (!m_store.followsChangeCounter()) {
        reloadLog();
        return;
    }
    const int first = recordCount() + 1;
    bool misplaced = false;
    QString why;
    const auto added = m_store.readNewRows(&misplaced, &why);
    if (!added) {
        // Nothing is lost: the next tick looks again.
        m_store.forgetChangeCounter();
        if (!m_store.lastFailureWasBusy()) {
            qWarning("reading the new contacts failed: %s", qPrintable(why));
            emit reloadFailed(why);
        }
        return;
    }
    if (*added > 0) {
        countArrivals(first);
        emit contactsArrived(first, *added);
    }
    if (misplaced)
        loadInBackground();
    else
        checkInBackground();
}

void Contest::countArrivals(int firstRecord)
{
    const LogMirror &m = m_store.mirror();
    for (int n = firstRecord; n <= m.recordCount(); ++n)
        m_tally.addLogged(m.at(n), m_station.contestType, m_station.isRover());
    m_index.sync(m);
}

bool Contest::followingInBackground() const
{
    return m_follower->busy() || m_checkDue || m_loadDue || m_heldBack;
}

void Contest::holdMirror(bool held)
{
    m_mirrorHolds += held ? 1 : -1;
    if (m_mirrorHolds > 0 || !m_heldBack)
        return;
    const auto loaded = std::exchange(m_heldBack, nullptr);
    // A reload in the meantime made it old.
    if (m_heldBackGeneration == m_mirrorGeneration)
        takeOver(*loaded);
}

void Contest::runDueWork()
{
    if (m_follower->busy())
        return;
    if (m_loadDue)
        loadInBackground();
    else if (m_checkDue)
        checkInBackground();
}

void Contest::checkInBackground()
{
    m_checkDue = true;
    if (m_follower->busy() || !m_store.isOpen())
        return;
    m_checkDue = false;
    const int generation = m_mirrorGeneration;
    m_follower->check(m_store.path(), mirror().highestRowId(), mirror().fingerprint(),
                      [this, generation](std::optional<bool> same) {
                          if (generation == m_mirrorGeneration) {
                              if (!same)
                                  m_checkDue = true; // not read: again at the next tick
                              else if (!*same)
                                  m_loadDue = true;
                          }
                          runDueWork();
                      });
}

void Contest::loadInBackground()
{
    m_loadDue = true;
    m_checkDue = false;
    if (m_follower->busy() || !m_store.isOpen())
        return;
    m_loadDue = false;
    const int generation = m_mirrorGeneration;
    m_follower->load(m_store.path(), m_station.contestType, m_station.isRover(),
                     [this, generation](std::shared_ptr<LoadedLog> loaded) {
                         bool failed = false;
                         if (generation == m_mirrorGeneration) {
                             if (loaded->error.isEmpty() && m_mirrorHolds > 0) {
                                 m_heldBack = loaded;
                                 m_heldBackGeneration = generation;
                             } else if (loaded->error.isEmpty()) {
                                 takeOver(*loaded);
                             } else {
                                 m_loadDue = failed = true; // again at the next tick
                             }
                         }
                         if (!failed)
                             runDueWork();
                     });
}

void Contest::takeOver(LoadedLog &loaded)
{
    if (loaded.contestType != m_station.contestType || loaded.rover != m_station.isRover())
        loaded.tally.recompute(loaded.mirror, m_station.contestType, m_station.isRover());
    ++m_mirrorGeneration;
    // The old mirror and what was derived from it are freed in the
    // background: a million strings take a while to release.
    m_follower->dispose(m_store.replaceMirror(std::move(loaded.mirror)));
    m_follower->dispose(std::exchange(m_tally, std::move(loaded.tally)));
    m_follower->dispose(std::exchange(m_index, std::move(loaded.index)));
    // What was logged after the read passed it.
    bool misplaced = false;
    const int first = recordCount() + 1;
    if (const auto added = m_store.readNewRows(&misplaced); added && *added > 0)
        countArrivals(first);
    if (misplaced)
        m_loadDue = true;
    else if (!loaded.undisturbed)
        m_checkDue = true;
    emit logReloaded();
}

// ---------------------------------------------------------------- band and mode

void Contest::chooseBand(int bandIndex)
{
    m_station.currentBand = Bands::label(bandIndex);
    emit bandOrModeChanged();
    applyBandSelection();
}

void Contest::applyBandSelection()
{
    // The UHF contest has no 50 and 144 MHz bands.
    if (m_station.contestType == 3 &&
        (Bands::same(m_station.currentBand, QStringLiteral("50 M")) ||
         Bands::same(m_station.currentBand, QStringLiteral("144 M"))))
        m_station.currentBand = QStringLiteral("222 M");
    savePreferences();
    emit bandChanged();
}

void Contest::chooseMode(const QString &mode)
{
    m_station.currentMode = mode;
    emit bandOrModeChanged();
    savePreferences();
    emit modeChanged();
}

void Contest::followRigFrequency(float mhz)
{
    const QString band = Bands::labelForFrequency(mhz);
    if (!band.isEmpty() && !Bands::same(band, m_station.currentBand))
        chooseBand(Bands::indexOf(band));
}

void Contest::followRigMode(const QString &mode)
{
    if (mode.isEmpty() || mode.compare(m_station.currentMode, Qt::CaseInsensitive) == 0)
        return;
    if (mode == Modes::Phone || mode == Modes::CW)
        chooseMode(mode);
}

// ---------------------------------------------------------------- operating time

void Contest::logOn()
{
    m_logOnStart = Clock::localNow();
    m_loggedOn = true;
}

void Contest::logOff()
{
    operatingTimeText();
    m_loggedOn = false;
    m_station.accumulatedOnSeconds = m_totalOnSeconds;
    savePreferences();
}

QString Contest::operatingTimeText()
{
    const double secs = static_cast<double>(m_logOnStart.secsTo(Clock::localNow()));
    m_totalOnSeconds = static_cast<float>(std::abs(secs + m_station.accumulatedOnSeconds));
    const double total = m_totalOnSeconds;
    const qint64 hours = static_cast<qint64>(std::floor(total / 3600));
    const qint64 minutes = static_cast<qint64>(std::floor(total / 60)) - hours * 60;
    const qint64 seconds = static_cast<qint64>(total) - static_cast<qint64>(std::floor(total / 60)) * 60;
    return twoDigits(hours) + u':' + twoDigits(minutes) + u':' + twoDigits(seconds);
}

void Contest::keepOperatingTime()
{
    if (!m_loggedOn)
        return;
    operatingTimeText();
    m_station.accumulatedOnSeconds = m_totalOnSeconds;
    m_loggedOn = false;
}
