#pragma once
// The Morse table: for each character its element string, one character a
// unit: '1' key down, '0' key up. A dot is "1", a dash "111", the gap inside
// a character "0", and every string ends with "000", the gap to the next
// character. The prosigns sit on [ AR, ] SK, ; KN, \ CL, = BT, and "-" is BT
// too.
#include <QChar>
#include <QString>
#include <string>

namespace Morse {

// The element string of ch (letters in either case); empty for characters
// that are not sent, which then add no gap either. A space is the word gap:
// eight units after the three that end the character before (11 in all),
// lengthened or shortened by wordSpace units; -8 leaves only those three.
std::string elements(QChar ch, int wordSpace = 0);

} // namespace Morse
