#include "app/CodePracticeWindow.h"

#include "app/Controls.h"
#include "keying/CodePractice.h"
#include "keying/CwKeyer.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDateTime>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QVBoxLayout>

using namespace Controls;

namespace {
QPlainTextEdit *textBox(QWidget *parent, const char *name)
{
    auto *t = new QPlainTextEdit(parent);
    t->setObjectName(QLatin1String(name));
    t->setTabChangesFocus(true);
    return t;
}

void moveCaretToEnd(QPlainTextEdit *t)
{
    QTextCursor c = t->textCursor();
    c.movePosition(QTextCursor::End);
    t->setTextCursor(c);
}
} // namespace

CodePracticeWindow::CodePracticeWindow(CwKeyer &keyer, QWidget *parent) : QDialog(parent), m_keyer(keyer)
{
    setObjectName(QStringLiteral("frmCodePractice"));
    setWindowTitle(QStringLiteral("On the Air Code Practice"));
    setModal(true);

    textToSend = textBox(this, "Text1");
    textToSend->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    textToSend->installEventFilter(this);
    textSent = textBox(this, "Text2");
    groupCountField = field(this, "Text3");
    groupCountField->setText(QString::number(CodePractice::DefaultGroups));
    groupSizeField = field(this, "Text4");
    groupSizeField->setText(QString::number(CodePractice::DefaultGroupSize));
    auto *include = frame(this, "Frame1", QStringLiteral("Include:"));
    lettersOnlyOption = option(include, "Option1", QStringLiteral("Letters Only"));
    allOption = option(include, "Option2", QStringLiteral("All"));
    allOption->setChecked(true);
    auto *includeLayout = new QVBoxLayout(include);
    includeLayout->addWidget(lettersOnlyOption);
    includeLayout->addWidget(allOption);
    typingField = field(this, "Text5");
    typingField->installEventFilter(this);
    speedLabel = label(this, "Label8", m_keyer.settings.wpm);

    generateButton = button(this, "cmdGenerate", QStringLiteral("&Generate Random Characters"));
    pasteButton = button(this, "cmdPaste", QStringLiteral("&Paste from Clipboard"));
    sendButton = button(this, "cmdSend", QStringLiteral("&Send"));
    stopButton = button(this, "cmdStop", QStringLiteral("S&top"));
    fasterButton = button(this, "cmdFaster", QStringLiteral("&Faster"));
    slowerButton = button(this, "cmdSlower", QStringLiteral("S&lower"));
    clearSentButton = button(this, "cmdClearSent", QStringLiteral("Cl&ear"));
    clearTextButton = button(this, "cmdClearText", QStringLiteral("&Clear"));

    auto *groups = new QGridLayout;
    groups->addWidget(new QLabel(QStringLiteral("Groups"), this), 0, 0);
    groups->addWidget(groupCountField, 0, 1);
    groups->addWidget(new QLabel(QStringLiteral("Characters per group"), this), 1, 0);
    groups->addWidget(groupSizeField, 1, 1);
    groups->addWidget(include, 0, 2, 2, 1);
    groups->addWidget(generateButton, 0, 3);
    groups->addWidget(pasteButton, 1, 3);
    auto *sendRow = new QHBoxLayout;
    for (QWidget *w : {static_cast<QWidget *>(sendButton), static_cast<QWidget *>(stopButton),
                       static_cast<QWidget *>(fasterButton), static_cast<QWidget *>(slowerButton),
                       static_cast<QWidget *>(speedLabel)})
        sendRow->addWidget(w);
    sendRow->addStretch();
    auto *all = new QVBoxLayout(this);
    all->addLayout(groups);
    all->addWidget(new QLabel(QStringLiteral("Text to Send"), this));
    all->addWidget(textToSend);
    all->addWidget(clearTextButton, 0, Qt::AlignRight);
    all->addLayout(sendRow);
    all->addWidget(new QLabel(QStringLiteral("Text Sent"), this));
    all->addWidget(textSent);
    all->addWidget(clearSentButton, 0, Qt::AlignRight);
    all->addWidget(new QLabel(QStringLiteral("Type characters here to send text from keyboard:"), this));
    all->addWidget(typingField);

    connect(generateButton, &QPushButton::clicked, this, &CodePracticeWindow::generate);
    connect(pasteButton, &QPushButton::clicked, this,
            [this] { textToSend->setPlainText(QGuiApplication::clipboard()->text()); });
    connect(sendButton, &QPushButton::clicked, this, &CodePracticeWindow::send);
    connect(stopButton, &QPushButton::clicked, this, &CodePracticeWindow::stop);
    connect(fasterButton, &QPushButton::clicked, &m_keyer, &CwKeyer::speedUp);
    connect(slowerButton, &QPushButton::clicked, &m_keyer, &CwKeyer::speedDown);
    connect(&m_keyer, &CwKeyer::speedChanged, speedLabel, &QLabel::setText);
    connect(clearSentButton, &QPushButton::clicked, textSent, &QPlainTextEdit::clear);
    connect(clearTextButton, &QPushButton::clicked, textToSend, &QPlainTextEdit::clear);
}

void CodePracticeWindow::generate()
{
    const int count = CodePractice::groupCount(groupCountField->text());
    const int size = CodePractice::groupSize(groupSizeField->text());
    groupCountField->setText(QString::number(count));
    groupSizeField->setText(QString::number(size));
    QRandomGenerator random(quint32(QDateTime::currentMSecsSinceEpoch()));
    textToSend->setPlainText(CodePractice::groups(count, size, lettersOnlyOption->isChecked(), random));
}

void CodePracticeWindow::send()
{
    if (m_sending)
        return;
    m_sending = true;
    m_sendText = textToSend->toPlainText();
    for (qsizetype i = 0; i < m_sendText.size(); ++i) {
        // Edits made while sending take effect; Stop empties the send text,
        // which ends the loop.
        m_sendText = textToSend->toPlainText();
        if (i >= m_sendText.size())
            break;
        const QString ch = m_sendText.mid(i, 1);
        m_keyer.clearBuffer();
        m_keyer.append(ch);
        if (!m_keyer.isBusy())
            m_keyer.sendBuffer();
        appendSent(ch);
        moveCaretToEnd(textSent);
        QTextCursor c = textToSend->textCursor();
        c.setPosition(int(std::min<qsizetype>(i + 1, textToSend->document()->characterCount() - 1)));
        textToSend->setTextCursor(c);
        m_keyer.letEventsRun();
    }
    m_sending = false;
}

void CodePracticeWindow::stop()
{
    m_sendText.clear();
    m_keyer.clearBuffer();
    // A keyer that times the CW itself drops what it still holds.
    ExternalKeyer *external = m_keyer.externalKeyer();
    if (external && external->isOpen() && m_keyer.settings.output == KeyingOutput::WinKey)
        external->clearBuffer();
}

void CodePracticeWindow::appendSent(const QString &text)
{
    textSent->setPlainText(textSent->toPlainText() + text);
}

void CodePracticeWindow::typed(const QString &text, bool backspace)
{
    if (backspace) {
        m_keyer.dropLast();
        QString sent = textSent->toPlainText();
        sent.chop(1);
        textSent->setPlainText(sent);
        return;
    }
    const QString ch = text.toUpper();
    appendSent(ch);
    m_keyer.append(ch);
    if (!m_keyer.isBusy())
        m_keyer.sendBuffer();
}

bool CodePracticeWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto *e = static_cast<QKeyEvent *>(event);
    if (watched == typingField) {
        // Typed characters go out at once and are not kept in the box.
        if (e->key() == Qt::Key_Backspace) {
            typed(QString(), true);
            return true;
        }
        if (e->text().size() == 1 && e->text().at(0).isPrint()) {
            typed(e->text(), false);
            return true;
        }
    } else if (watched == textToSend && e->text().size() == 1 && e->text().at(0).isLower()) {
        textToSend->insertPlainText(e->text().toUpper());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CodePracticeWindow::closeEvent(QCloseEvent *event)
{
    stop();
    // The character being keyed finishes first; then the window may close.
    if (m_keyer.isBusy())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void CodePracticeWindow::reject()
{
    stop();
    if (!m_keyer.isBusy())
        QDialog::reject();
}
