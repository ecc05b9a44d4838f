#include "app/Form2.h"

#include "log/Folders.h"
#include "log/SharedPrefs.h"
#include "platform/Dialogs.h"

#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/Controls.h"

using namespace Controls;

Form2::Form2(const Station &station, const LogMirror &mirror, QWidget *parent)
    : QDialog(parent), m_station(station), m_mirror(mirror)
{
    using namespace Cabrillo;
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(Text::WindowTitle);
    setModal(true);

    // --- the entrant's details, each field under its caption ---
    Label1 = new QLabel(Text::SectionLabel, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Text1 = field(this, "Text1");
    Text2 = field(this, "Text2");
    Text5 = field(this, "Text5");
    Text6 = field(this, "Text6");
    Text7 = field(this, "Text7");
    Text8 = field(this, "Text8");
    Text10 = field(this, "Text10");
    Text11 = new QPlainTextEdit(this);
    Text11->setObjectName(QStringLiteral("Text11"));
    Text11->setTabChangesFocus(true);
    Text11->setFixedHeight(Text11->fontMetrics().lineSpacing() * 4 + 12);

    auto *details = new QVBoxLayout;
    auto *sectionRow = new QHBoxLayout;
    sectionRow->addWidget(Label1);
    sectionRow->addWidget(Text1);
    sectionRow->addStretch();
    details->addLayout(sectionRow);
    const std::pair<QString, QWidget *> rows[] = {
        {Text::OperatorsLabel, Text2}, {Text::NameLabel, Text5},  {Text::Address1Label, Text6},
        {Text::Address2Label, Text7},  {Text::EmailLabel, Text8}, {Text::ClubLabel, Text10},
        {Text::SoapboxLabel, Text11},
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
    Frame2 = frame(this, "Frame2", Text::OperatorFrame);
    Option1 = option(Frame2, "Option1", Text::OperatorCaptions.at(0));
    Option2 = option(Frame2, "Option2", Text::OperatorCaptions.at(1));
    Option3 = option(Frame2, "Option3", Text::OperatorCaptions.at(2));
    Option6 = option(Frame2, "Option6", Text::OperatorCaptions.at(3));
    Option7 = option(Frame2, "Option7", Text::OperatorCaptions.at(4));
    Option4 = option(Frame2, "Option4", Text::OperatorCaptions.at(5));
    auto *opLayout = new QVBoxLayout(Frame2);
    for (QRadioButton *o : {Option1, Option2, Option3, Option6, Option7, Option4})
        opLayout->addWidget(o);

    Frame1 = frame(this, "Frame1", Text::BandFrame);
    Option8 = option(Frame1, "Option8", Text::BandCaptions.at(0));
    Option5 = option(Frame1, "Option5", Text::BandCaptions.at(1));
    Option12 = option(Frame1, "Option12", Text::BandCaptions.at(2));
    Option13 = option(Frame1, "Option13", Text::BandCaptions.at(3));
    auto *bandLayout = new QVBoxLayout(Frame1);
    for (QRadioButton *o : {Option8, Option5, Option12, Option13})
        bandLayout->addWidget(o);

    Frame3 = frame(this, "Frame3", Text::ModeFrame);
    Option11 = option(Frame3, "Option11", Text::ModeCaptions.at(0));
    Option10 = option(Frame3, "Option10", Text::ModeCaptions.at(1));
    Option9 = option(Frame3, "Option9", Text::ModeCaptions.at(2));
    auto *modeLayout = new QVBoxLayout(Frame3);
    for (QRadioButton *o : {Option11, Option10, Option9})
        modeLayout->addWidget(o);

    Frame6 = frame(this, "Frame6", Text::PowerFrame);
    Option18 = option(Frame6, "Option18", Text::PowerCaptions.at(0));
    Option19 = option(Frame6, "Option19", Text::PowerCaptions.at(1));
    auto *powerLayout = new QVBoxLayout(Frame6);
    powerLayout->addWidget(Option18);
    powerLayout->addWidget(Option19);

    auto *categories = new QGridLayout;
    categories->addWidget(Frame2, 0, 0, 2, 1);
    categories->addWidget(Frame1, 0, 1);
    categories->addWidget(Frame3, 1, 1);
    categories->addWidget(Frame6, 2, 0, 1, 2);
    categories->setRowStretch(3, 1);

    Command4 = button(this, "Command4", Text::WriteButton);
    Command3 = button(this, "Command3", Text::DoneButton);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command4);
    buttons->addWidget(Command3);

    auto *columns = new QHBoxLayout;
    columns->addLayout(details, 3);
    columns->addSpacing(12);
    columns->addLayout(categories, 2);
    auto *top = new QVBoxLayout(this);
    top->addLayout(columns, 1);
    top->addLayout(buttons);

    // --- prefill from the answers kept last time ---
    const Header kept = storedHeader();
    Text1->setText(kept.section);
    Text5->setText(kept.name);
    Text6->setText(kept.address1);
    Text7->setText(kept.address2);
    Text8->setText(kept.email);
    Text10->setText(kept.club);

    const int type = m_station.contestType;
    if (type == 5) {
        // The CQ contest names its categories differently, has no section,
        // asks for assistance instead of power and has no band category here.
        QRadioButton *const ops[] = {Option1, Option2, Option3, Option6, Option7, Option4};
        for (int i = 0; i < 6; ++i)
            ops[i]->setText(Text::CqOperatorCaptions.at(i));
        Label1->setVisible(false);
        Text1->setVisible(false);
        Frame6->setTitle(Text::AssistedFrame);
        Option18->setText(Text::AssistedCaptions.at(0));
        Option19->setText(Text::AssistedCaptions.at(1));
        Option18->setChecked(true);
        Frame1->setEnabled(false);
    }
    operatorButton(initialOperator(type, m_station.isRover()))->setChecked(true);

    Text1->installEventFilter(this);
    connect(Command4, &QPushButton::clicked, this, &Form2::Command4_Click);
    connect(Command3, &QPushButton::clicked, this, &QDialog::accept);
}

QRadioButton *Form2::operatorButton(Cabrillo::Operator op) const
{
    using Cabrillo::Operator;
    switch (op) {
    case Operator::Single: return Option1;
    case Operator::SingleOpPortable: return Option2;
    case Operator::Rover: return Option3;
    case Operator::MultiLimited: return Option6;
    case Operator::MultiUnlimited: return Option7;
    case Operator::Checklog: return Option4;
    }
    return Option1;
}

Cabrillo::Header Form2::header() const
{
    using namespace Cabrillo;
    Header h;
    h.section = Text1->text();
    h.operators = Text2->text();
    h.name = Text5->text();
    h.address1 = Text6->text();
    h.address2 = Text7->text();
    h.email = Text8->text();
    h.club = Text10->text();
    h.soapbox = Text11->toPlainText();
    for (Operator op : {Operator::Single, Operator::SingleOpPortable, Operator::Rover,
                        Operator::MultiLimited, Operator::MultiUnlimited, Operator::Checklog})
        if (operatorButton(op)->isChecked())
            h.op = op;
    h.band = Option8->isChecked()    ? BandCategory::All
             : Option5->isChecked()  ? BandCategory::Limited
             : Option12->isChecked() ? BandCategory::ThreeBand
             : Option13->isChecked() ? BandCategory::FmOnly
                                     : BandCategory::None;
    if (m_station.contestType == 5) {
        h.assisted = !Option18->isChecked();
    } else {
        h.power = Option18->isChecked()   ? Power::High
                  : Option19->isChecked() ? Power::Low
                                          : Power::None;
    }
    return h;
}

void Form2::Command4_Click()
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
    if (!writeFile(path, cabrilloText(m_mirror, s, header(), score)))
        return;
    msgBox(this, Text::written(call, QDir::toNativeSeparators(path)), Text::WrittenTitle);
    msgBox(this, Text::ThanksText, Text::ThanksTitle);
    accept();
    storeAnswers();
}

void Form2::storeAnswers() const
{
    SharedPrefs shared;
    shared.load(QDir(Folders::dataFolders().shared).filePath(SharedPrefs::FileName));
    Cabrillo::storeHeader(header(), shared);
}

bool Form2::eventFilter(QObject *watched, QEvent *event)
{
    // The section is typed in capitals.
    if (watched == Text1 && event->type() == QEvent::KeyPress) {
        const auto *e = static_cast<QKeyEvent *>(event);
        const QString t = e->text();
        if (t.size() == 1 && t.at(0) >= u'a' && t.at(0) <= u'z') {
            Text1->insert(t.toUpper());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
