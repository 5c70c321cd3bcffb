// The "Replay" window drives the replay, and the "What-If" window evaluates its recording.

#include "replay/ReplayTool.h"
#include "replay/ui/ReplayWindow.h"
#include "replay/ui/WhatIfWindow.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace {

// A prox touch on CH0 for frames 3..8 that the chip reported as well.
TRecording ProxRecording()
{
    TRecording r;
    r.FileName = QStringLiteral("/tmp/prox.ktrec");
    QByteArray map(2 + 2 + 10 + 10, '\0');
    map[0] = 0x01;
    map[2] = 0x03;
    map[4] = 0x04;
    map[14] = 0x05;
    r.StreamMaps.append(map);
    for (int i = 0; i < 12; ++i) {
        QByteArray d(map.size(), '\0');
        const bool near = i >= 3 && i <= 8;
        d[2] = char(i >= 4 && i <= 9 ? 1 : 0);
        d[6] = char(near ? 490 & 0xFF : 500 & 0xFF);
        d[7] = char(500 >> 8);
        d[16] = char(500 & 0xFF);
        d[17] = char(500 >> 8);
        r.Frames.append({i * 10000LL, 0, d});
    }
    r.Notes << QStringLiteral("A note for the user.");
    return r;
}

TEST(ReplayWindow, ControlsReachTheReplayAndTheWhatIf)
{
    TReplayTool replay(ProxRecording(), true);
    TReplayWindow window(&replay);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Replay"));
    EXPECT_TRUE(window.FileLabel->text().contains("prox.ktrec"));
    EXPECT_TRUE(window.NotesLabel->text().contains("A note for the user."));
    EXPECT_TRUE(window.StateLabel->text().startsWith("Waiting for the program"));
    EXPECT_FALSE(window.StepButton->isEnabled());

    window.PauseButton->click();
    EXPECT_TRUE(replay.Paused());
    EXPECT_EQ(window.PauseButton->text(), QStringLiteral("Resume"));
    window.PauseButton->click();
    EXPECT_FALSE(replay.Paused());
    window.SpeedCombo->setCurrentText(QStringLiteral("4x"));
    EXPECT_EQ(replay.Speed(), 4.0);
    window.SpeedCombo->setCurrentIndex(0);
    EXPECT_EQ(replay.Speed(), 0.25);

    window.WhatIfButton->click();
    TWhatIfWindow* whatIf = window.WhatIf();
    ASSERT_NE(whatIf, nullptr);
    EXPECT_EQ(whatIf->ProxSpin->value(), 4);
    // Delta 10 over threshold 4: set at frame 4 (shown from 1) with the chip; nothing at threshold 11.
    ASSERT_GE(whatIf->EventTable->rowCount(), 2);
    EXPECT_EQ(whatIf->EventTable->item(0, 1)->text(), QStringLiteral("5"));
    EXPECT_EQ(whatIf->EventTable->item(0, 2)->text(), QStringLiteral("Prox on"));
    EXPECT_EQ(whatIf->EventTable->item(0, 3)->text(), QStringLiteral("both"));
    whatIf->ProxSpin->setValue(11);
    whatIf->Evaluate();
    for (int row = 0; row < whatIf->EventTable->rowCount(); ++row)
        EXPECT_EQ(whatIf->EventTable->item(row, 3)->text(), QStringLiteral("chip only"));
    EXPECT_TRUE(whatIf->SummaryLabel->text().contains("CH0: 0 (chip 1)"));
    whatIf->RecordedButton->click();
    EXPECT_EQ(whatIf->ProxSpin->value(), 4);
    whatIf->hide();
}

} // namespace
