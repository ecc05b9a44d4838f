#pragma once
// Making a window's controls: each is created with its parent and carries
// the name it is known by from outside ("Text1", "cmdDone") as its object
// name, so tests and the operator's tools find it by that name whatever the
// member holding it is called.
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace Controls {

inline QLabel *label(QWidget *parent, const char *name, const QString &text = QString())
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

inline QLineEdit *field(QWidget *parent, const char *name, int maxLength = 32767)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setMaxLength(maxLength);
    return e;
}

inline QRadioButton *option(QWidget *parent, const char *name, const QString &caption)
{
    auto *o = new QRadioButton(caption, parent);
    o->setObjectName(QLatin1String(name));
    return o;
}

inline QGroupBox *frame(QWidget *parent, const char *name, const QString &caption)
{
    auto *g = new QGroupBox(caption, parent);
    g->setObjectName(QLatin1String(name));
    return g;
}

// Buttons never act on Enter by themselves: Enter belongs to the fields.
inline QPushButton *button(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace Controls
