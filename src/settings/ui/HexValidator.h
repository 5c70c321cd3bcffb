#pragma once
// The filter of the engineering page's hexadecimal boxes: at most two hexadecimal digits, shown in upper
// case. It refuses typed keys and pasted text alike.

#include <QValidator>

class THexValidator : public QValidator {
    Q_OBJECT
public:
    explicit THexValidator(int maxDigits, QObject* parent = nullptr);
    State validate(QString& input, int& pos) const override;

private:
    int FMaxDigits;
};
