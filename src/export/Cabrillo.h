#pragma once
// The Cabrillo entry (3.0, or the older 2.0) sent to the contest sponsor: a header built from the
// station, the contest and the summary-sheet answers, one fixed-column QSO line
// per contact of the mirror, and the closing line. The summary-sheet window
// only gathers the answers and chooses the file; everything written is here.
#include "export/ProgramInfo.h"
#include "log/QsoRecord.h"

#include <QString>
#include <QStringList>

struct Station;
class SharedPrefs;

namespace Cabrillo {

// The operator choices of the summary sheet, named after what they mean in
// the ARRL contests. In the CQ contest the same six choices carry other
// captions and values (see operatorValue).
enum class Operator { Single, SingleOpPortable, Rover, MultiLimited, MultiUnlimited, Checklog };
// The band category; None when nothing is chosen.
enum class BandCategory { None, All, Limited, ThreeBand, FmOnly };
// The power category; None when nothing is chosen.
enum class Power { None, High, Low };

// The format written: 3.0, which log checkers read today, or the older 2.0
// with its one CATEGORY line.
enum class Version { V3, V2 };
// Where the station operated from (3.0 only): a rover picks its kind.
enum class StationKind { Fixed, Portable, Rover, RoverLimited, RoverUnlimited };
// The mode category, written by 3.0 only.
enum class ModeCategory { None, Mixed, Cw, Ssb };

// Everything the summary-sheet window gathers.
struct Header {
    QString section;   // ARRL/RAC section
    QString operators; // calls of all operators
    QString name;
    QString address1;
    QString address2;
    QString email;
    QString club;
    QString soapbox;
    Operator op = Operator::Single;
    BandCategory band = BandCategory::None;
    Power power = Power::None;
    // The CQ contest only: the power frame becomes "Category Assisted:" and
    // its first button (checked when the window opens) means non-assisted.
    bool assisted = false;
    Version version = Version::V3;
    StationKind station = StationKind::Fixed;
    ModeCategory mode = ModeCategory::None;
};

// The CONTEST value of contest type 1..5; empty for any other type.
QString contestValue(int contestType);
// The category value of an operator choice in a contest type.
QString operatorValue(int contestType, Operator op);
QString bandCategoryValue(BandCategory b);
QString powerValue(Power p);
// The whole CATEGORY line without its line end.
QString categoryLine(int contestType, const Header &h);

// The category lines of the 3.0 format, CATEGORY-OPERATOR to
// CATEGORY-ASSISTED, without line ends.
QStringList categoryLines3(int contestType, const Header &h);
// The band of a label as 3.0 names it in its QSO lines ("1.2G" for "1.3 G").
QString band3(const QString &bandLabel);
// One QSO line of the 3.0 format: its fields separated by blanks.
QString qsoLine3(const QsoRecord &r, const QString &ownCall);
// The station kinds as the window lists them, in the order of StationKind,
// and as 3.0 writes them.
QString stationValue(StationKind k);

// The operator choice checked when the window opens: the rover button for a
// rover station (its caption is "Rover" in every contest), else Single.
Operator initialOperator(int contestType, bool rover);

// The whole file, CR LF line ends. ownCall is trimmed; claimedScore is the
// total score as the main window shows it.
QString cabrilloText(const LogMirror &mirror, const Station &station, const Header &header,
                     qint64 claimedScore, const ProgramInfo &program = ProgramInfo());
// One QSO line without its line end.
QString qsoLine(const QsoRecord &r, const QString &ownCall);

// "W1AW.log" for W1AW/R.
QString fileName(const QString &ownCall);
// The file name in the product data folder.
QString proposedPath(const QString &ownCall);
// Writes the file (through a temporary file renamed into place).
bool writeFile(const QString &path, const QString &text, QString *error = nullptr);

// The summary-sheet values kept for the next time: in the per-user settings
// store and, for the maker's other programs, in the shared XML preferences.
Header storedHeader();
void storeHeader(const Header &h, SharedPrefs &shared);

// The texts of the summary-sheet window and its messages.
namespace Text {
inline const QString WindowTitle = QStringLiteral("Summary Sheet Information");
inline const QString MenuCaption = QStringLiteral("&Write Cabrillo File");
inline const QString SectionLabel = QStringLiteral("Your ARRL/RAC Section Abbreviation:");
inline const QString OperatorsLabel = QStringLiteral("If multioperator, list calls of all operators:");
inline const QString NameLabel = QStringLiteral("Your Name:");
inline const QString Address1Label = QStringLiteral("Address Line 1:");
inline const QString Address2Label = QStringLiteral("Address Line 2:");
inline const QString EmailLabel = QStringLiteral("Email Address:");
inline const QString ClubLabel = QStringLiteral("Club Name (if club participation):");
inline const QString SoapboxLabel =
    QStringLiteral("Soapbox (Add any comments you would like to make about the contest):");

inline const QString OperatorFrame = QStringLiteral("Operator:");
inline const QString BandFrame = QStringLiteral("Band Category:");
inline const QString ModeFrame = QStringLiteral("Mode:");
inline const QString PowerFrame = QStringLiteral("Power Category (Single Op Only):");
inline const QString AssistedFrame = QStringLiteral("Category Assisted:");

// Operator button captions in the order of Cabrillo::Operator.
inline const QStringList OperatorCaptions{
    QStringLiteral("Single"),         QStringLiteral("Single Op Portable"),
    QStringLiteral("Rover"),          QStringLiteral("Multi-Limited"),
    QStringLiteral("Multi-Unlimited"), QStringLiteral("Checklog")};
// The same buttons in the CQ contest. Note that its rover is the sixth.
inline const QStringList CqOperatorCaptions{
    QStringLiteral("Single Op"),    QStringLiteral("Single Op QRP"), QStringLiteral("Single Op 6M"),
    QStringLiteral("Single Op 2M"), QStringLiteral("Multi Op"),      QStringLiteral("Rover")};
// Band category captions in the order All, Limited, ThreeBand, FmOnly.
inline const QStringList BandCaptions{QStringLiteral("All"), QStringLiteral("Limited"),
                                      QStringLiteral("3 Band"), QStringLiteral("FM Only")};
inline const QStringList ModeCaptions{QStringLiteral("Mixed"), QStringLiteral("CW"),
                                      QStringLiteral("SSB")};
inline const QStringList PowerCaptions{QStringLiteral("High"), QStringLiteral("Low")};
inline const QString VersionFrame = QStringLiteral("Cabrillo Version:");
inline const QStringList VersionCaptions{QStringLiteral("3.0"), QStringLiteral("2.0 (older checkers)")};
inline const QString StationLabel = QStringLiteral("Station (3.0):");
inline const QStringList StationCaptions{QStringLiteral("Fixed"), QStringLiteral("Portable"),
                                         QStringLiteral("Rover"), QStringLiteral("Limited Rover"),
                                         QStringLiteral("Unlimited Rover")};
inline const QStringList AssistedCaptions{QStringLiteral("NON-ASSISTED"),
                                          QStringLiteral("ASSISTED")};

inline const QString WriteButton = QStringLiteral("Write Cabrillo Log File");
inline const QString DoneButton = QStringLiteral("Done");
inline const QString SaveFilter = QStringLiteral("Cabrillo Log Files (*.log)|*.log");

inline const QString WrittenTitle = QStringLiteral("File Written Successfully.");
inline const QString ThanksTitle = QStringLiteral("  Thanks!");
inline const QString ThanksText =
    QStringLiteral("Thanks for using this program.  I hope that you enjoyed it!  If so, please "
                   "tell a friend!\r\n\r\n73, and good luck in the next contest.");
// The message after writing: the file's name and the full path chosen.
QString written(const QString &ownCall, const QString &path);
} // namespace Text

// The per-user settings keys of the kept values.
namespace Keys {
inline const QString Section = QStringLiteral("UserARRLSection");
inline const QString Name = QStringLiteral("UserAddressName");
inline const QString Address1 = QStringLiteral("UserAddressLine1");
inline const QString Address2 = QStringLiteral("UserAddressLine2");
inline const QString Email = QStringLiteral("UserEMail");
inline const QString Club = QStringLiteral("UserClubName");
inline const QString BandCategory = QStringLiteral("UserBandCategory");
inline const QString Power = QStringLiteral("UserPowerCategory");
inline const QString Version = QStringLiteral("UserCabrilloVersion");
} // namespace Keys

} // namespace Cabrillo
