#pragma once
// A picture the program draws on, shown centred in the widget (the relative-coordinates strip).

#include <QImage>
#include <QWidget>

class TPictureBox : public QWidget {
    Q_OBJECT
public:
    explicit TPictureBox(QWidget* parent = nullptr);

    // Draw on it, then call update().
    QImage& Picture() { return FPicture; }
    const QImage& Picture() const { return FPicture; }
    void SetPicture(const QImage& picture);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QImage FPicture;
};
