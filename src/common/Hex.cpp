#include "common/Hex.h"

namespace {

int HexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

bool TryParseHex(const QString& text, uint32_t& value)
{
    if (text.isEmpty())
        return false;
    uint64_t result = 0;
    for (QChar c : text) {
        const int digit = HexDigit(c);
        if (digit < 0)
            return false;
        result = (result << 4) | uint64_t(digit);
        if (result > 0xFFFFFFFFull)
            return false;
    }
    value = uint32_t(result);
    return true;
}

QString HexByte(uint8_t value)
{
    static const char digits[] = "0123456789ABCDEF";
    const QChar text[2] = {QLatin1Char(digits[value >> 4]), QLatin1Char(digits[value & 0x0F])};
    return QString(text, 2);
}
