#include "app/SummarySheetDialog.h"

#include "app/ExportCommands.h"
#include "export/FileJobs.h"
#include "export/LogCheck.h"
#include "log/Folders.h"
#include "log/SharedPrefs.h"
#include "platform/Dialogs.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/Controls.h"

using namespace Controls;

SummarySheetDialog::SummarySheetDialog(const Station &station, FileJobs &jobs, const QString &logPath,
                                       QWidget *parent)
    : QDialog(parent), m_station(station), m_jobs(jobs), m_logPath(logPath)
{
    using namespace Cabrillo;
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(Text::WindowTitle);
    setModal(true);

    // --- the entrant's details, each field under its caption ---
    sectionLabel = label(this, "Label1", Text::SectionLabel);
    sectionField = field(this, "Text1");
    operatorsField = field(this, "Text2");
    nameField = field(this, "Text5");
    address1Field = field(this, "Text6");
    address2Field = field(this, "Text7");
    emailField = field(this, "Text8");
    clubField = field(this, "Text10");
    soapboxField = new QPlainTextEdit(this);
    soapboxField->setObjectName(QStringLiteral("Text11"));
    soapboxField->setTabChangesFocus(true);
    soapboxField->setFixedHeight(soapboxField->fontMetrics().lineSpacing() * 4 + 12);

    auto *details = new QVBoxLayout;
    auto *sectionRow = new QHBoxLayout;
    sectionRow->addWidget(sectionLabel);
    sectionRow->addWidget(sectionField);
    sectionRow->addStretch();
    details->addLayout(sectionRow);
    const std::pair<QString, QWidget *> rows[] = {
        {Text::OperatorsLabel, operatorsField}, {Text::NameLabel, nameField},
        {Text::Address1Label, address1Field},   {Text::Address2Label, address2Field},
        {Text::EmailLabel, emailField},         {Text::ClubLabel, clubField},
        {Text::SoapboxLabel, soapboxField},
    };
    for (const auto &[caption, w] : rows) {
        auto *l = new QLabel(caption, this);
        l->setBuddy(w);
        details->addSpacing(4);
        details->addWidget(l);
        details->addWidget(w);
    }
    details->addStretch();

    // --- the categories ---
    operatorFrame = frame(this, "Frame2", Text::OperatorFrame);
    const char *operatorNames[] = {"Option1", "Option2", "Option3", "Option6", "Option7", "Option4"};
    auto *opLayout = new QVBoxLayout(operatorFrame);
    for (size_t i = 0; i < operatorButtons.size(); ++i) {
        operatorButtons[i] = option(operatorFrame, operatorNames[i], Text::OperatorCaptions.at(int(i)));
        opLayout->addWidget(operatorButtons[i]);
    }

    bandFrame = frame(this, "Frame1", Text::BandFrame);
    allBandsButton = option(bandFrame, "Option8", Text::BandCaptions.at(0));
    limitedBandsButton = option(bandFrame, "Option5", Text::BandCaptions.at(1));
    threeBandButton = option(bandFrame, "Option12", Text::BandCaptions.at(2));
    fmOnlyButton = option(bandFrame, "Option13", Text::BandCaptions.at(3));
    auto *bandLayout = new QVBoxLayout(bandFrame);
    for (QRadioButton *o : {allBandsButton, limitedBandsButton, threeBandButton, fmOnlyButton})
        bandLayout->addWidget(o);

    modeFrame = frame(this, "Frame3", Text::ModeFrame);
    mixedModeButton = option(modeFrame, "Option11", Text::ModeCaptions.at(0));
    cwModeButton = option(modeFrame, "Option10", Text::ModeCaptions.at(1));
    ssbModeButton = option(modeFrame, "Option9", Text::ModeCaptions.at(2));
    auto *modeLayout = new QVBoxLayout(modeFrame);
    for (QRadioButton *o : {mixedModeButton, cwModeButton, ssbModeButton})
        modeLayout->addWidget(o);

    powerFrame = frame(this, "Frame6", Text::PowerFrame);
    highPowerButton = option(powerFrame, "Option18", Text::PowerCaptions.at(0));
    lowPowerButton = option(powerFrame, "Option19", Text::PowerCaptions.at(1));
    auto *powerLayout = new QVBoxLayout(powerFrame);
    powerLayout->addWidget(highPowerButton);
    powerLayout->addWidget(lowPowerButton);

    // The format: 3.0 unless the entrant asks for the older one; a 3.0 entry
    // also names where the station operated from.
    versionFrame = frame(this, "fraCabrilloVersion", Text::VersionFrame);
    version3Button = option(versionFrame, "optCabrillo3", Text::VersionCaptions.at(0));
    version2Button = option(versionFrame, "optCabrillo2", Text::VersionCaptions.at(1));
    version3Button->setChecked(true);
    stationBox = new QComboBox(versionFrame);
    stationBox->setObjectName(QStringLiteral("cboStation"));
    stationBox->addItems(Text::StationCaptions);
    auto *stationLabel = new QLabel(Text::StationLabel, versionFrame);
    stationLabel->setBuddy(stationBox);
    auto *versionLayout = new QGridLayout(versionFrame);
    versionLayout->addWidget(version3Button, 0, 0);
    versionLayout->addWidget(version2Button, 1, 0);
    versionLayout->addWidget(stationLabel, 0, 1);
    versionLayout->addWidget(stationBox, 1, 1);
    connect(version3Button, &QRadioButton::toggled, stationBox, &QWidget::setEnabled);

    auto *categories = new QGridLayout;
    categories->addWidget(operatorFrame, 0, 0, 2, 1);
    categories->addWidget(bandFrame, 0, 1);
    categories->addWidget(modeFrame, 1, 1);
    categories->addWidget(powerFrame, 2, 0, 1, 2);
    categories->addWidget(versionFrame, 3, 0, 1, 2);
    categories->setRowStretch(4, 1);

    writeButton = button(this, "Command4", Text::WriteButton);
    doneButton = button(this, "Command3", Text::DoneButton);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(writeButton);
    buttons->addWidget(doneButton);

    auto *columns = new QHBoxLayout;
    columns->addLayout(details, 3);
    columns->addSpacing(12);
    columns->addLayout(categories, 2);
    // What a log checker would object to, shown before anything is written:
    // the log is looked over away from the window.
    checkLabel = label(this, "lblLogCheck", QStringLiteral("Checking the log..."));
    m_jobs.run(
        [logPath = m_logPath, rover = m_station.isRover()] {
            JobOutcome o;
            if (const auto log = readWholeLogAt(logPath, &o.why)) {
                o.ok = true;
                o.report = LogCheck::report(LogCheck::check(*log, rover), log->recordCount());
            }
            return o;
        },
        [label = QPointer<QLabel>(checkLabel)](const JobOutcome &o) {
            if (label)
                label->setText(o.ok ? o.report : QStringLiteral("The log could not be checked (%1).").arg(o.why));
        });
    checkLabel->setWordWrap(true);
    checkLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *top = new QVBoxLayout(this);
    top->addLayout(columns, 1);
    top->addWidget(checkLabel);
    top->addLayout(buttons);

    // --- prefill from the answers kept last time ---
    const Header kept = storedHeader();
    sectionField->setText(kept.section);
    nameField->setText(kept.name);
    address1Field->setText(kept.address1);
    address2Field->setText(kept.address2);
    emailField->setText(kept.email);
    clubField->setText(kept.club);
    const std::pair<BandCategory, QRadioButton *> bandButtons[] = {{BandCategory::All, allBandsButton},
                                                                   {BandCategory::Limited, limitedBandsButton},
                                                                   {BandCategory::ThreeBand, threeBandButton},
                                                                   {BandCategory::FmOnly, fmOnlyButton}};
    for (const auto &[b, button] : bandButtons)
        button->setChecked(kept.band == b);
    (kept.version == Version::V2 ? version2Button : version3Button)->setChecked(true);
    if (m_station.contestType != 5) {
        highPowerButton->setChecked(kept.power == Power::High);
        lowPowerButton->setChecked(kept.power == Power::Low);
    }

    const int type = m_station.contestType;
    if (type == 5) {
        // The CQ contest names its categories differently, has no section,
        // asks for assistance instead of power and has no band category here.
        for (size_t i = 0; i < operatorButtons.size(); ++i)
            operatorButtons[i]->setText(Text::CqOperatorCaptions.at(int(i)));
        sectionLabel->setVisible(false);
        sectionField->setVisible(false);
        powerFrame->setTitle(Text::AssistedFrame);
        highPowerButton->setText(Text::AssistedCaptions.at(0));
        lowPowerButton->setText(Text::AssistedCaptions.at(1));
        highPowerButton->setChecked(true);
        bandFrame->setEnabled(false);
    }
    operatorButton(initialOperator(type, m_station.isRover()))->setChecked(true);
    stationBox->setCurrentIndex(static_cast<int>(m_station.isRover() ? StationKind::Rover : StationKind::Fixed));

    sectionField->installEventFilter(this);
    connect(writeButton, &QPushButton::clicked, this, &SummarySheetDialog::writeEntry);
    connect(doneButton, &QPushButton::clicked, this, &QDialog::accept);
}

QRadioButton *SummarySheetDialog::operatorButton(Cabrillo::Operator op) const
{
    return operatorButtons.at(static_cast<size_t>(op));
}

Cabrillo::Header SummarySheetDialog::answers() const
{
    using namespace Cabrillo;
    Header h;
    h.section = sectionField->text();
    h.operators = operatorsField->text();
    h.name = nameField->text();
    h.address1 = address1Field->text();
    h.address2 = address2Field->text();
    h.email = emailField->text();
    h.club = clubField->text();
    h.soapbox = soapboxField->toPlainText();
    for (Operator op : {Operator::Single, Operator::SingleOpPortable, Operator::Rover,
                        Operator::MultiLimited, Operator::MultiUnlimited, Operator::Checklog})
        if (operatorButton(op)->isChecked())
            h.op = op;
    h.band = allBandsButton->isChecked()       ? BandCategory::All
             : limitedBandsButton->isChecked() ? BandCategory::Limited
             : threeBandButton->isChecked()    ? BandCategory::ThreeBand
             : fmOnlyButton->isChecked()       ? BandCategory::FmOnly
                                               : BandCategory::None;
    h.mode = mixedModeButton->isChecked() ? ModeCategory::Mixed
             : cwModeButton->isChecked()  ? ModeCategory::Cw
             : ssbModeButton->isChecked() ? ModeCategory::Ssb
                                          : ModeCategory::None;
    h.version = version2Button->isChecked() ? Version::V2 : Version::V3;
    h.station = static_cast<StationKind>(stationBox->currentIndex());
    if (m_station.contestType == 5) {
        h.assisted = !highPowerButton->isChecked();
    } else {
        h.power = highPowerButton->isChecked()  ? Power::High
                  : lowPowerButton->isChecked() ? Power::Low
                                                : Power::None;
    }
    return h;
}

void SummarySheetDialog::writeEntry()
{
    using namespace Cabrillo;
    const QString call = m_station.ownCall.trimmed();
    const QString path =
        Dialogs::get().saveFile(this, Text::WriteButton, Text::SaveFilter, proposedPath(call));
    if (path.isEmpty())
        return;
    const qint64 score = claimedScore ? claimedScore().trimmed().toLongLong() : 0;
    Station s = m_station;
    s.ownCall = call;
    const Header header = answers();
    // One entry at a time from this window.
    writeButton->setEnabled(false);
    m_jobs.run(
        [logPath = m_logPath, path, s, header, score] {
            JobOutcome o;
            o.path = path;
            if (const auto log = readWholeLogAt(logPath, &o.why))
                o.ok = writeFile(path, cabrilloText(*log, s, header, score), &o.why);
            return o;
        },
        [self = QPointer<SummarySheetDialog>(this), parent = QPointer<QWidget>(parentWidget()), call,
         header](const JobOutcome &o) {
            // Closed meanwhile: the messages go to the main window.
            QWidget *at = self ? static_cast<QWidget *>(self) : parent.data();
            if (self)
                self->writeButton->setEnabled(true);
            if (!o.ok) {
                ExportCommands::tellNotWritten(at, QStringLiteral("Cabrillo file"), o.path, o.why);
                return;
            }
            msgBox(at, Text::written(call, QDir::toNativeSeparators(o.path)), Text::WrittenTitle);
            msgBox(at, Text::ThanksText, Text::ThanksTitle);
            if (self)
                self->accept();
            storeAnswers(header);
        });
}

void SummarySheetDialog::storeAnswers(const Cabrillo::Header &answers)
{
    SharedPrefs shared;
    shared.load(QDir(Folders::dataFolders().shared).filePath(SharedPrefs::FileName));
    Cabrillo::storeHeader(answers, shared);
}

bool SummarySheetDialog::eventFilter(QObject *watched, QEvent *event)
{
    // The section is typed in capitals.
    if (watched == sectionField && event->type() == QEvent::KeyPress) {
        const auto *e = static_cast<QKeyEvent *>(event);
        const QString t = e->text();
        if (t.size() == 1 && t.at(0) >= u'a' && t.at(0) <= u'z') {
            sectionField->insert(t.toUpper());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
