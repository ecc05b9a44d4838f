#pragma once
// Random groups for on-the-air code practice: letters only or letters,
// digits and the punctuation . , ? / - (the last sent as BT), each group
// followed by a space.
#include <QRandomGenerator>
#include <QString>

namespace CodePractice {

constexpr int DefaultGroups = 10;
constexpr int DefaultGroupSize = 5;
constexpr int MaxGroups = 1000;
constexpr int MaxGroupSize = 50;

// The count of groups and their size as typed: a text that is no number
// gives the default; numbers are held to 1..1000 groups and 1..50 characters.
int groupCount(const QString &text);
int groupSize(const QString &text);

QString groups(int count, int size, bool lettersOnly, QRandomGenerator &random);

} // namespace CodePractice
