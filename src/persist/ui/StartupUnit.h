#pragma once
// The start-up chooser: one of the four demonstration set-ups, the default set-up, or cancel. Each button
// stores its code and closes the window; Start reads the code.

#include <QDialog>
#include <cstdint>

class QLabel;
class QPushButton;

class TStartupForm : public QDialog {
    Q_OBJECT
public:
    explicit TStartupForm(QWidget* parent = nullptr);

    // Codes of the buttons: 0 default set-up, 1..4 demonstration set-ups, 255 cancel.
    static constexpr uint8_t DefaultSetup = 0;
    static constexpr uint8_t Cancelled = 255;

    // Shows the window modally and returns the code of the button pressed (closing it counts as cancel).
    uint8_t Execute();
    uint8_t StartupOption() const { return FStartupOption; }

    QLabel* HeaderLabel;
    QPushButton* WheelButton;
    QPushButton* Keys3Button;
    QPushButton* Slider2Button;
    QPushButton* Slider3Button;
    QPushButton* CustomConfigButton;
    QPushButton* CancelButton;
    // Shown while "Load settings on start up" is checked.
    QLabel* FileLabel;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPushButton* PictureButton(const QString& caption, const QString& picture, uint8_t code);
    void Choose(uint8_t code);

    uint8_t FStartupOption = DefaultSetup;
};
