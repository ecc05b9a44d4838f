#pragma once
// How the entry fields read a key: the character code their handlers work
// with, and the quotes that never reach a field.
#include <QKeyEvent>
#include <QLineEdit>

// The character code an entry handler sees for a key: 13 Enter, 9 Tab,
// 8 Backspace, the typed character, or 0 for keys that type nothing.
inline int keyCode(const QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Backspace: return 8;
    default: break;
    }
    if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return 0;
    const QString t = e->text();
    if (t.size() != 1 || !t.at(0).isPrint())
        return 0;
    return t.at(0).unicode();
}

inline bool isQuote(int k) { return k == '"' || k == '\''; }

// Puts one character into a field as if typed.
inline void typeInto(QLineEdit *field, QChar c) { field->insert(QString(c)); }

