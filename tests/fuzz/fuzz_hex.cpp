// The hexadecimal fields: the shared parser, the chip address box, the engineering page's filter, and the
// simulator and command-line options that take hexadecimal values. Input: the text (Latin-1).

#include "fuzz/FuzzSupport.h"

#include "chip/KorvaneKT880.h"
#include "cli/CliOptions.h"
#include "common/Hex.h"
#include "settings/ui/HexValidator.h"
#include "sim/SimOptions.h"

namespace {

bool IsHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fuzz::App();
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));

    // The parser takes exactly the non-empty digit strings up to 0xFFFFFFFF and leaves value alone otherwise.
    uint32_t value = 0xA5A5A5A5;
    const bool parsed = TryParseHex(text, value);
    qsizetype significant = 0;
    bool digits = !text.isEmpty();
    for (QChar c : text) {
        digits = digits && IsHexDigit(c);
        if (significant > 0 || c != QLatin1Char('0'))
            ++significant;
    }
    FUZZ_CHECK(parsed == (digits && significant <= 8));
    if (!parsed)
        FUZZ_CHECK(value == 0xA5A5A5A5);
    else
        FUZZ_CHECK(QString::number(value, 16).compare(text.mid(text.size() - std::max<qsizetype>(significant, 1)),
                                                      Qt::CaseInsensitive) == 0);
    if (parsed && value <= 0xFF) {
        uint32_t back = 0;
        FUZZ_CHECK(TryParseHex(HexByte(uint8_t(value)), back) && back == value);
    }

    // The chip address: always a 7-bit address, shown as two digits.
    TKT880Device chip;
    chip.SetI2CAddress(text);
    uint32_t address = 0;
    FUZZ_CHECK(chip.I2CAddress().size() == 2 && TryParseHex(chip.I2CAddress(), address) && address <= 0x7F);

    // The engineering page's two-digit boxes accept only what the register operations can parse.
    THexValidator validator(2);
    QString typed = text;
    int pos = int(typed.size());
    if (validator.validate(typed, pos) == QValidator::Acceptable && !typed.isEmpty()) {
        uint32_t byte = 0;
        FUZZ_CHECK(TryParseHex(typed, byte) && byte <= 0xFF && typed == typed.toUpper());
    }

    // Simulator options with hexadecimal values.
    for (const char* option : {"--sim-address", "--sim-fw-version", "--sim-fw-release", "--sim-fault-error",
                               "--sim-fault-stream-error"}) {
        SimOptions options;
        bool consumed = false;
        QString error;
        ParseSimulatorArgument(QString::fromLatin1(option), text, options, consumed, error);
        FUZZ_CHECK(options.chipAddress >= -1 && options.chipAddress <= 0x7F);
    }

    // The command-line tool's register address and bytes.
    const TCliParseResult read = ParseCommandLine({QStringLiteral("read"), text, QStringLiteral("1")});
    const TCliParseResult write = ParseCommandLine({QStringLiteral("write"), QStringLiteral("10"), text});
    // Text starting with "-" is an option (such as -h), not a value.
    if (read.Error.isEmpty() && !text.startsWith(QLatin1Char('-')))
        FUZZ_CHECK(read.Options.Command == TCliCommand::Read);
    if (write.Error.isEmpty() && !text.startsWith(QLatin1Char('-')))
        FUZZ_CHECK(write.Options.Bytes.size() == 1);
    return 0;
}
