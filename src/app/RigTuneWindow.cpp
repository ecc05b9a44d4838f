#include "app/RigTuneWindow.h"

#include "app/Controls.h"
#include "rig/RigCommands.h"
#include "rig/RigTuner.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <cmath>

using namespace Controls;

namespace {
// Up and down buttons in pairs: 10 Hz, 1 MHz, 5 kHz, 1 kHz, 100 Hz.
constexpr qint64 StepHz[] = {10, 1000000, 5000, 1000, 100};
const char *const StepCaptions[] = {"10 Hz", "1 MHz", "5 KHz", "1 KHz", "100 Hz"};

struct BandButton {
    const char *caption;
    qint64 hz;
};
constexpr BandButton Bands[] = {
    {"160", 1900000},   {"80", 3750000},    {"60", 5368000},     {"40", 7150000},
    {"30", 10130000},   {"20", 14175000},   {"17", 18118000},    {"15", 21225000},
    {"12", 24940000},   {"10", 28500000},   {"6", 52000000},     {"2", 146000000},
    {"1.25", 223500000}, {"70", 435000000}, {"33", 915000000},   {"23", 1270000000},
};

// 500 Hz, 100 Hz, 30 Hz, 10 Hz, 2.5 kHz.
constexpr qint64 ScanStepHz[] = {500, 100, 30, 10, 2500};
const char *const ScanStepCaptions[] = {"500 Hz", "100 Hz", "30 Hz", "10 Hz", "2.5 KHz"};

std::optional<qint64> hzOf(const QString &text)
{
    bool ok = false;
    const double mhz = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(mhz) || std::abs(mhz) > 1e6)
        return std::nullopt;
    return Rig::hzFromMHz(mhz);
}

// The scan's "####.#####": at most five decimals, none that are zero at the end.
QString scanText(qint64 hz)
{
    return Rig::mhzText((hz + (hz >= 0 ? 5 : -5)) / 10 * 10);
}
} // namespace

RigTuneWindow::RigTuneWindow(RigTuner &tuner, QWidget *parent) : QDialog(parent), m_tuner(tuner)
{
    setObjectName(QStringLiteral("frmRigTune"));
    setWindowTitle(QStringLiteral(" Change Frequency and Mode (Ctrl G (Go))"));
    buildControls();
    m_scanTimer = new QTimer(this);
    m_scanTimer->setObjectName(QStringLiteral("Timer1"));
    m_scanTimer->setInterval(ScanTickMs);
    connect(m_scanTimer, &QTimer::timeout, this, &RigTuneWindow::scanTick);
    m_scanTimer->start();
    frequencyEdited();
}

void RigTuneWindow::buildControls()
{
    auto *grid = new QGridLayout(this);
    grid->addWidget(label(this, "lblFreq", QStringLiteral("Frequency in MHz:")), 0, 0);
    frequencyField = field(this, "txtFreq", 20);
    grid->addWidget(frequencyField, 0, 1, 1, 2);
    goButton = button(this, "Command1", QStringLiteral("&Go"));
    grid->addWidget(goButton, 0, 3);
    connect(frequencyField, &QLineEdit::textChanged, this, &RigTuneWindow::frequencyEdited);
    connect(goButton, &QPushButton::clicked, this, &RigTuneWindow::go);

    grid->addWidget(label(this, "lblUp", QStringLiteral("UP")), 1, 1);
    grid->addWidget(label(this, "lblDown", QStringLiteral("Down")), 1, 2);
    for (int i = 0; i < 10; ++i) {
        const QByteArray name = "cmdTune_" + QByteArray::number(i);
        stepButtons[i] = button(this, name.constData(), QString::fromLatin1(StepCaptions[i / 2]));
        grid->addWidget(stepButtons[i], 2 + i / 2, 1 + i % 2);
        connect(stepButtons[i], &QPushButton::clicked, this, [this, i] { step(i); });
    }

    auto *bands = frame(this, "fraBands", QStringLiteral("Bands"));
    auto *bandGrid = new QGridLayout(bands);
    for (int i = 0; i < int(std::size(Bands)); ++i) {
        const QByteArray name = "cmdBand_" + QByteArray::number(i);
        auto *b = button(bands, name.constData(), QString::fromLatin1(Bands[i].caption));
        bandGrid->addWidget(b, i / 8, i % 8);
        connect(b, &QPushButton::clicked, this, [this, i] { chooseBand(i); });
    }
    grid->addWidget(bands, 7, 0, 1, 4);

    auto *modes = frame(this, "fraModes", QStringLiteral("Mode"));
    auto *modeRow = new QHBoxLayout(modes);
    const std::pair<const char *, const char *> modeButtons[] = {{"cmdLSB", "LSB"}, {"cmdUSB", "USB"},
                                                                 {"cmdCW", "CW"},   {"cmdAM", "AM"},
                                                                 {"cmdFM", "FM"},   {"cmdRTTY", "&RTTY"}};
    for (const auto &[name, caption] : modeButtons) {
        auto *b = button(modes, name, QString::fromLatin1(caption));
        modeRow->addWidget(b);
        const QString mode = QString::fromLatin1(caption).remove(QLatin1Char('&'));
        connect(b, &QPushButton::clicked, this, [this, mode] { setMode(mode); });
    }
    grid->addWidget(modes, 8, 0, 1, 4);

    auto *scan = frame(this, "fraScan", QStringLiteral("Scan Steps"));
    auto *scanGrid = new QGridLayout(scan);
    scanBox = new QCheckBox(QStringLiteral("Scan"), scan);
    scanBox->setObjectName(QStringLiteral("chkScan"));
    connect(scanBox, &QCheckBox::toggled, this, &RigTuneWindow::scanToggled);
    scanGrid->addWidget(scanBox, 0, 0);
    fromField = field(scan, "txtFrom", 12);
    toField = field(scan, "txtTo", 12);
    fromField->setText(QStringLiteral("1.8"));
    toField->setText(QStringLiteral("54"));
    // Number keys only (and the decimal point a frequency in MHz needs).
    auto *numbers = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9.]*")), this);
    fromField->setValidator(numbers);
    toField->setValidator(numbers);
    scanGrid->addWidget(label(scan, "lblFrom", QStringLiteral("From:")), 0, 1);
    scanGrid->addWidget(fromField, 0, 2);
    scanGrid->addWidget(label(scan, "lblTo", QStringLiteral("To:")), 0, 3);
    scanGrid->addWidget(toField, 0, 4);
    for (int i = 0; i < 5; ++i) {
        const QByteArray name = "Option" + QByteArray::number(i + 1);
        stepOptions[i] = option(scan, name.constData(), QString::fromLatin1(ScanStepCaptions[i]));
        scanGrid->addWidget(stepOptions[i], 1, i);
    }
    stepOptions[0]->setChecked(true);
    grid->addWidget(scan, 9, 0, 1, 4);

    doneButton = button(this, "cmdDone", QStringLiteral("&Done"));
    connect(doneButton, &QPushButton::clicked, this, &QDialog::accept);
    grid->addWidget(doneButton, 10, 3);

    // A key anywhere in the window stops the scan.
    for (QWidget *w : findChildren<QWidget *>())
        w->installEventFilter(this);
    installEventFilter(this);
}

std::optional<qint64> RigTuneWindow::frequency() const { return hzOf(frequencyField->text()); }

void RigTuneWindow::frequencyEdited()
{
    const bool numeric = frequency().has_value();
    for (QPushButton *b : stepButtons)
        b->setEnabled(numeric);
}

void RigTuneWindow::go()
{
    if (const auto hz = frequency())
        m_tuner.changeFrequency(*hz);
}

void RigTuneWindow::step(int index)
{
    const auto hz = frequency();
    if (!hz || index < 0 || index > 9)
        return;
    const qint64 by = StepHz[index / 2];
    frequencyField->setText(Rig::mhzText(index % 2 == 0 ? *hz + by : *hz - by));
    go();
}

void RigTuneWindow::chooseBand(int index)
{
    frequencyField->setText(Rig::mhzText(Bands[index].hz));
    go();
}

void RigTuneWindow::setMode(const QString &mode)
{
    m_tuner.changeMode(frequency().value_or(0), mode);
    doneButton->setFocus();
}

qint64 RigTuneWindow::scanStep() const
{
    for (int i = 0; i < 5; ++i)
        if (stepOptions[i]->isChecked())
            return ScanStepHz[i];
    return ScanStepHz[0];
}

void RigTuneWindow::scanToggled(bool on)
{
    if (!on)
        return;
    if (!frequency())
        frequencyField->setText(fromField->text());
    goButton->setFocus();
}

void RigTuneWindow::scanTick()
{
    const auto from = hzOf(fromField->text()), to = hzOf(toField->text()), now = frequency();
    if (!scanBox->isChecked() || !from || !to || !now)
        return;
    qint64 next = *now + scanStep();
    if (next > *to)
        next = *from;
    frequencyField->setText(scanText(next));
    go();
}

void RigTuneWindow::stopScan() { scanBox->setChecked(false); }

bool RigTuneWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && scanBox && scanBox->isChecked())
        stopScan();
    return QDialog::eventFilter(watched, event);
}
