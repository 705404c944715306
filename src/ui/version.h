// The About box: picture, version and the typed service codes.
#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;

// The service codes the About box accepts, each switching on one flag of the main window.
enum class TServiceCode { None, Log, Command, Monitor };

// The code `typed` names, compared without regard to case: "QZJ" the log flag, "WUKTAV" the
// free-command mode, "XRPF" the monitor display.
TServiceCode ServiceCodeOf(const QString &typed);

// "Version" followed directly by the program's version.
QString VersionText();

class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutBox(QWidget *parent = nullptr);

    // Told of a recognised code when the box closes, before "Command 受信しました" shows.
    std::function<void(TServiceCode)> OnServiceCode;

    QLabel *Image1 = nullptr;
    QLabel *VerLabel = nullptr;
    QPushButton *OKButton = nullptr;
    QString CommandBuffer;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeVersionLabel();
};
