#include "cli/CliFormat.h"

#include "app/MainCore.h"
#include "common/Hex.h"
#include "toollink/FirmwareVerdict.h"

#include <QStringList>

namespace CliFormat {

namespace {

constexpr int ReportLineBytes = 37;

} // namespace

QString ReportLine(const TKvrByteArray& report)
{
    QString line;
    line.reserve(ReportLineBytes * 3);
    for (int i = 0; i < ReportLineBytes; ++i) {
        line += HexByte(report[size_t(i)]);
        line += QLatin1Char(' ');
    }
    return line;
}

QString Firmware(uint32_t version, uint8_t build, uint8_t release)
{
    return QStringLiteral("V%1 Build %2 Release %3").arg(Hex4Dot(version)).arg(build).arg(ReleaseName(release));
}

QString HexBytes(const uint8_t* data, int count)
{
    QStringList bytes;
    for (int i = 0; i < count; ++i)
        bytes << HexByte(data[i]);
    return bytes.join(QLatin1Char(' '));
}

QString FrameHeader()
{
    return QStringLiteral("frame\tflags\tevents\twheel\trelative\tprox\ttouch\thalt\tlp_count\tlp_lta\t"
                          "count0\tcount1\tcount2\tcount3\tlta0\tlta1\tlta2\tlta3\t"
                          "delta0\tdelta1\tdelta2\tdelta3\ttth1\ttth2\ttth3");
}

QString FrameLine(quint64 frame, const TMainCore& c)
{
    QStringList f;
    f.reserve(25);
    f << QString::number(frame) << HexByte(c.FSysFlags) << HexByte(c.FSysEvents) << QString::number(c.FWheelData1)
      << QString::number(c.FWheelData2) << QString::number(c.FProx & 1) << HexByte(uint8_t(c.FTouch))
      << HexByte(uint8_t(c.FHalt)) << QString::number(c.FLPcsCH) << QString::number(c.FLPltaCH);
    for (int32_t v : c.FCurrentChs)
        f << QString::number(v);
    for (int32_t v : c.FLTAChs)
        f << QString::number(v);
    for (int32_t v : c.FDeltaChs)
        f << QString::number(v);
    for (int ch = 1; ch < 4; ++ch)
        f << QString::number(c.FCalcTouchTH[size_t(ch)]);
    return f.join(QLatin1Char('\t'));
}

} // namespace CliFormat
