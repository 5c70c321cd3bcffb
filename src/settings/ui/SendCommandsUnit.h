#pragma once
// The raw report window: every output report sent to the configuration tool, as hexadecimal bytes, with
// saving to a text file. Recording runs while the window is hooked to the tool.

#include "common/KvrTypes.h"

#include <QWidget>
#include <functional>

class QListWidget;
class QPushButton;
class TKorvaneHidTool;

class TSendCommands : public QWidget {
    Q_OBJECT
public:
    explicit TSendCommands(QWidget* parent = nullptr);
    ~TSendCommands() override;

    // Records every report the tool sends from now on (the engineering page's "Show Send Commands").
    void Hook(TKorvaneHidTool* tool);
    // Stops recording; closing the window does this.
    void Unhook();
    bool Hooked() const { return FTool != nullptr; }

    // Bytes 0..36 of a report, each as two upper-case hexadecimal digits and a space.
    static QString ReportLine(const TKvrByteArray& report);
    void AddReport(const TKvrByteArray& report);
    // Appends one line and selects it.
    void AddReportLine(const QString& line);

    void Button1Click(); // "Save To File"
    void Button2Click(); // "Clear"
    void OKBtnClick();   // "Close"
    // Writes every line, CR LF after each; false with the reason when the file cannot be written.
    bool SaveToFile(const QString& fileName, QString& error) const;

    // The save dialog (asks before overwriting); an empty name cancels. Replaceable for tests.
    std::function<QString()> AskSaveFileName;

    QListWidget* ListBox1;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* OKBtn;

    // Window state.
    bool FSetupFormIni = true;
    bool FFormActivated = false;
    int FRunLeft = 0, FRunTop = 0;
    bool FRunLTApply = false;

    void FormActivate();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ArrangeButtons();

    TKorvaneHidTool* FTool = nullptr;
};
