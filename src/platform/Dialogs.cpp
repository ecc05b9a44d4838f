#include "platform/Dialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>

namespace {

class QtDialogs final : public Dialogs {
public:
    Answer message(QWidget *parent, const QString &title, const QString &text, Buttons buttons,
                   Icon icon) override
    {
        QMessageBox box(parent);
        box.setWindowTitle(title);
        box.setText(text);
        switch (icon) {
        case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
        case Icon::Information: box.setIcon(QMessageBox::Information); break;
        case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
        case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
        case Icon::Question: box.setIcon(QMessageBox::Question); break;
        }
        switch (buttons) {
        case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
        case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
        case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
        case Buttons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        }
        switch (box.exec()) {
        case QMessageBox::Yes: return Answer::Yes;
        case QMessageBox::No: return Answer::No;
        case QMessageBox::Cancel: return Answer::Cancel;
        default: return buttons == Buttons::Ok ? Answer::Ok : Answer::Cancel;
        }
    }

    QString input(QWidget *parent, const QString &title, const QString &prompt,
                  const QString &defaultText) override
    {
        bool ok = false;
        const QString text =
            QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
        return ok ? text : QString();
    }

    std::optional<QString> ask(QWidget *parent, const QString &title, const QString &prompt,
                               const QString &defaultText) override
    {
        bool ok = false;
        const QString text =
            QInputDialog::getText(parent, title, prompt, QLineEdit::Normal, defaultText, &ok);
        if (!ok)
            return std::nullopt;
        return text;
    }

    QString openFile(QWidget *parent, const QString &title, const QString &filter,
                     const QString &startPath) override
    {
        return QFileDialog::getOpenFileName(parent, title, startPath, qtFileFilter(filter));
    }

    QString saveFile(QWidget *parent, const QString &title, const QString &filter,
                     const QString &startPath) override
    {
        return QFileDialog::getSaveFileName(parent, title, startPath, qtFileFilter(filter));
    }

    std::optional<QColor> chooseColor(QWidget *parent, const QColor &initial) override
    {
        const QColor c = QColorDialog::getColor(initial, parent);
        if (!c.isValid())
            return std::nullopt;
        return c;
    }

    void beep() override { QApplication::beep(); }
};

QtDialogs realDialogs;
Dialogs *current = nullptr;

} // namespace

Dialogs &Dialogs::get() { return current ? *current : realDialogs; }

void Dialogs::install(Dialogs *d) { current = d; }

QString qtFileFilter(const QString &pipeFilter)
{
    const QStringList parts = pipeFilter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // Linux file names keep their case: "*.MDB" finds "halvern.mdb" too.
        QStringList patterns;
        for (QString p : parts.at(i + 1).split(u';', Qt::SkipEmptyParts)) {
            p = p.trimmed();
            if (p == QLatin1String("*.*")) {
                patterns.append(QStringLiteral("*"));
                continue;
            }
            patterns.append(p);
            if (p.toLower() != p)
                patterns.append(p.toLower());
            if (p.toUpper() != p)
                patterns.append(p.toUpper());
        }
        patterns.removeDuplicates();
        out.append(parts.at(i) + QStringLiteral(" (") + patterns.join(u' ') + u')');
    }
    return out.join(QStringLiteral(";;"));
}
