#include "keying/Morse.h"

#include <array>
#include <utility>

namespace {
// Characters with their signs; the element strings are built from these.
constexpr std::array<std::pair<char, const char *>, 47> Signs{{
    {'A', ".-"},     {'B', "-..."},   {'C', "-.-."},   {'D', "-.."},    {'E', "."},
    {'F', "..-."},   {'G', "--."},    {'H', "...."},   {'I', ".."},     {'J', ".---"},
    {'K', "-.-"},    {'L', ".-.."},   {'M', "--"},     {'N', "-."},     {'O', "---"},
    {'P', ".--."},   {'Q', "--.-"},   {'R', ".-."},    {'S', "..."},    {'T', "-"},
    {'U', "..-"},    {'V', "...-"},   {'W', ".--"},    {'X', "-..-"},   {'Y', "-.--"},
    {'Z', "--.."},   {'0', "-----"},  {'1', ".----"},  {'2', "..---"},  {'3', "...--"},
    {'4', "....-"},  {'5', "....."},  {'6', "-...."},  {'7', "--..."},  {'8', "---.."},
    {'9', "----."},  {'.', ".-.-.-"}, {',', "--..--"}, {'?', "..--.."}, {'/', "-..-."},
    {'[', ".-.-."},  {']', "...-.-"}, {';', "-.--."},  {'\\', "-.-..-.."}, {'=', "-...-"},
    {'-', "-...-"},  {' ', ""},
}};

struct Table {
    std::array<std::string, 128> elements;
    Table()
    {
        for (const auto &[ch, signs] : Signs) {
            std::string e;
            for (const char *p = signs; *p; ++p) {
                if (p != signs)
                    e += '0';
                e += *p == '.' ? "1" : "111";
            }
            if (*signs)
                e += "000";
            elements[size_t(ch)] = e;
        }
    }
};

const Table &table()
{
    static const Table t;
    return t;
}
} // namespace

namespace Morse {

std::string elements(QChar ch, int wordSpace)
{
    if (ch == u' ') {
        std::string gap(8, '0');
        if (wordSpace > 0)
            gap.append(size_t(wordSpace), '0');
        else if (wordSpace < 0)
            gap.resize(size_t(std::max(0, 8 + wordSpace)));
        return gap;
    }
    const QChar up = ch.toUpper();
    if (up.unicode() >= 128)
        return {};
    return table().elements[up.unicode()];
}

} // namespace Morse
