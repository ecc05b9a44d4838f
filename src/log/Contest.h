#pragma once
// The running contest: the station and its preferences, the shared log and
// its mirror, the tallies behind the score, the index of calls and squares, the
// current band and mode, the operating-time clock and the refresh cycle that
// picks up the other PCs' contacts. Windows and subsystems call its
// operations and follow its signals; it knows nothing of any window.
#include "log/BackupWriter.h"
#include "log/Dupes.h"
#include "log/LogIndex.h"
#include "log/LogFollower.h"
#include "log/LogStore.h"
#include "log/Logging.h"
#include "log/Score.h"
#include "log/Station.h"

#include <QDateTime>
#include <QObject>

class QTimer;

class Contest : public QObject {
    Q_OBJECT
public:
    explicit Contest(QObject *parent = nullptr);

    Station &station() { return m_station; }
    const Station &station() const { return m_station; }
    LogStore &store() { return m_store; }
    const LogMirror &mirror() const { return m_store.mirror(); }
    const Tally &tally() const { return m_tally; }
    int recordCount() const { return m_store.recordCount(); }
    // The PC that holds the log; empty when the log is on this PC.
    QString serverName() const { return m_serverName; }

    // ---- preferences ----
    // Reads the preferences file over the start-up defaults; the warnings
    // name the values that could not be used.
    QStringList loadPreferences();
    bool savePreferences();
    // The working folder was found unwritable and the operator told so: the
    // failures that follow from it are not told again.
    void assumeFilesUnwritten() { m_preferencesFailing = m_backupFailing = true; }
    // The station window's values were taken: the server name follows the
    // log path and listeners redraw what depends on the station.
    void stationSetUp();

    // ---- the log ----
    bool openLog(const QString &path, QString *error);
    void closeLog();
    // The full reload: the mirror, the tallies and the index of calls and squares are
    // read anew. A failure is reported through reloadFailed first; logReloaded
    // follows either way.
    void reloadLog();
    int reloadCount() const { return m_reloads; }
    bool eraseLog(QString *error);
    // The binding check and the insert in one write. A logged contact is
    // counted at once and announced through contactLogged. With
    // OnBusy::Report a log locked by another PC comes back Busy at once.
    LogAttempt logContact(const QsoRecord &rec, OnBusy onBusy = OnBusy::Wait);
    // The binding check alone, for an entry that is not complete.
    LogAttempt checkEntry(const QString &call, const QString &grid, OnBusy onBusy = OnBusy::Wait);
    // A fresh connection after a failed write.
    void reconnectLog();
    // The operator's own deletion and edit. The log is then read anew in
    // the background and taken over when read (logReloaded); an edit shows
    // in the mirror's record at once (recordEdited).
    bool deleteContact(int recordNumber, QString *error);
    bool updateContact(int recordNumber, const QString &selectedCall, const QsoRecord &values,
                       QString *error);
    // The hint of calls already worked, for one key typed in the call field.
    PartialDupeResult partialDupeHint(const QString &fieldBefore, QChar key);
    // The previous-contact scan for the call and grid in the entry fields.
    PreviousScan previousContacts(const QString &call, const QString &grid);
    // The grid map's hover text for a square.
    QString gridSummary(const QString &square);

    // ---- the refresh cycle ----
    QTimer *refreshTimer() const { return m_refreshTimer; }
    // One tick: the change check, and every sixteenth tick the text backup.
    void refreshTick();
    // Looks whether another PC changed the log (which reads no row when
    // nothing changed) and, unless a call is being typed, follows it.
    void checkForChanges();
    // Follows the changes found and not yet followed: the contacts other
    // PCs added are read alone and added to the mirror, the tallies and the
    // index of calls and squares (contactsArrived); whether anything was edited or deleted
    // is checked in the background, and where it was, or where an added
    // contact belongs before the mirror's end, the log is read anew in the
    // background and taken over at once when read (logReloaded). Where the
    // engine keeps no change counter, the full reload.
    void followChanges();
    // Whether a background check or read has not been taken over yet.
    bool followingInBackground() const;
    // While a window works on records by their numbers (the edit window, a
    // deletion being confirmed), a log read in the background waits to be
    // taken over; releasing the hold takes it over.
    void holdMirror(bool held);
    void setCallInProgress(bool typing) { m_callInProgress = typing; }
    void setKeyerBusy(bool busy) { m_keyerBusy = busy; }
    bool keyerBusy() const { return m_keyerBusy; }
    void setBackupTickCount(int n) { m_backupTicks = n; }
    // The text backup being made or written (see BackupWriter).
    BackupWriter &backup() { return *m_backup; }

    // ---- band and mode ----
    void chooseBand(int bandIndex);
    // Applies the current band: the UHF contest's lowest band, saving, and
    // bandChanged for everything that shows the band.
    void applyBandSelection();
    // "CW" or "PH".
    void chooseMode(const QString &mode);
    // The rig's frequency in MHz and mode: the logging band and mode follow.
    void followRigFrequency(float mhz);
    void followRigMode(const QString &mode);

    // ---- operating time ----
    bool loggedOn() const { return m_loggedOn; }
    void logOn();
    void logOff();
    // The running total of this log-on plus the time kept from earlier ones,
    // as "hh:mm:ss"; it also becomes the total kept at the next log-off.
    QString operatingTimeText();
    // At the end of the program: the running time is kept and saved.
    void keepOperatingTime();

signals:
    void logReloaded();
    // Records firstRecord.. firstRecord + count - 1 were added at the end of
    // the mirror, read from the log after other PCs logged them.
    void contactsArrived(int firstRecord, int count);
    void reloadFailed(const QString &why);
    // The mirror's record took the texts the operator saved for it.
    void recordEdited(int recordNumber);
    // A contact of this PC is in the log; newGridKey is the band's grid key
    // it added to the worked grids, empty when it added none.
    void contactLogged(const QsoRecord &rec, int bandIndex, const QString &newGridKey);
    void bandChanged();
    void modeChanged();
    // The band or the mode was chosen (the station network announces it).
    void bandOrModeChanged();
    void stationChanged();
    // A file the program keeps (the preferences, the text backup) could not
    // be written. Told once; again only after it was written in between.
    void fileNotWritten(const QString &file, const QString &why);

private:
    // Adds the records from firstRecord on to the tallies and the index of calls and squares.
    void countArrivals(int firstRecord);
    void checkInBackground();
    void loadInBackground();
    void takeOver(LoadedLog &loaded);
    // After a background answer: the work that waited for it.
    void runDueWork();
    void writeBackup();

    Station m_station;
    LogStore m_store;
    Tally m_tally;
    LogIndex m_index;
    LogFollower *m_follower = nullptr;
    BackupWriter *m_backup = nullptr;
    // Moves with every mirror read anew: a background answer about an older
    // mirror is not used.
    int m_mirrorGeneration = 0;
    bool m_checkDue = false;
    bool m_loadDue = false;
    int m_mirrorHolds = 0;
    std::shared_ptr<LoadedLog> m_heldBack; // read while the mirror was held
    int m_heldBackGeneration = 0;
    QTimer *m_refreshTimer = nullptr;
    QString m_serverName;
    int m_reloads = 0;
    int m_backupTicks = 0;
    bool m_callInProgress = false;
    bool m_preferencesFailing = false;
    bool m_backupFailing = false;
    bool m_keyerBusy = false;
    bool m_loggedOn = false;
    QDateTime m_logOnStart;
    float m_totalOnSeconds = 0;
};
