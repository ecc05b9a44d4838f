#pragma once
// What the entry fields accept, whole texts at a time: the rules of the keys
// typed into them, applied to text that arrives otherwise (pasted, dropped,
// the X selection). A quote, a blank or a control character never reaches a
// field; letters of the call and of a grid's square become capitals.
#include <QString>

enum class EntryField { Call, Grid, Report, PostContestTime, PostContestDate };

QString filterEntryText(EntryField field, const QString &text);
