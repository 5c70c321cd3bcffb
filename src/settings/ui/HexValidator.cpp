#include "settings/ui/HexValidator.h"

THexValidator::THexValidator(int maxDigits, QObject* parent) : QValidator(parent), FMaxDigits(maxDigits) {}

QValidator::State THexValidator::validate(QString& input, int& pos) const
{
    if (input.size() > FMaxDigits)
        return Invalid;
    for (const QChar c : input) {
        const bool digit = c >= QLatin1Char('0') && c <= QLatin1Char('9');
        const bool letter = (c >= QLatin1Char('a') && c <= QLatin1Char('f')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
        if (!digit && !letter)
            return Invalid;
    }
    input = input.toUpper();
    return Acceptable;
}
