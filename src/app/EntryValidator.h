#pragma once
// Holds an entry field to its rules whatever way text arrives: the key
// handlers see typed keys, this sees the result of a paste or a drop too and
// cleans it as the keys would have been.
#include "log/EntryFilter.h"

#include <QValidator>

class EntryValidator : public QValidator {
public:
    EntryValidator(EntryField field, QObject *parent) : QValidator(parent), m_field(field) {}

    State validate(QString &input, int &pos) const override
    {
        const QString clean = filterEntryText(m_field, input);
        if (clean != input) {
            // The caret keeps its place among the characters that stay.
            pos = filterEntryText(m_field, input.left(pos)).size();
            input = clean;
        }
        return Acceptable;
    }

private:
    EntryField m_field;
};
