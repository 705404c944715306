// The settings dialog: graph scales and switches, data processing, port, transfer folder and
// print rows, edited in memory and taken into the settings with OK.
#pragma once

#include <QDialog>
#include <QSpinBox>
#include <QString>
#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;
class TNumEdit;
struct TSetting;

// An up-down control with its numeric edit field as buddy: the value taken is its position.
class TSettingUpDown : public QSpinBox
{
    Q_OBJECT

public:
    TSettingUpDown(TNumEdit *buddy, int minimum, int maximum, int step, QWidget *parent = nullptr);
    TNumEdit *Buddy() const { return m_buddy; }

private:
    TNumEdit *m_buddy;
};

// The port number a "CommN" text names: its fifth character as a digit. None when that
// character is missing or no digit (the caller keeps the port it had).
std::optional<int> PortOfCommText(const QString &text);

class TPagesDlg : public QDialog
{
    Q_OBJECT

public:
    // Edits `setting`, which must outlive the dialog; nothing is stored before OK.
    explicit TPagesDlg(TSetting &setting, QWidget *parent = nullptr);

    // After OK has stored the values: the owner recomputes its shown test.
    std::function<void()> OnStored;
    // After every close (OK or Cancel): the owner shows its test again.
    std::function<void()> OnClosed;
    // The device the system's own order gives port "CommN", shown when the dialog names none
    // for it.
    std::function<QString(int)> PortPath; // default: the transfer's own mapping
    // The folder chooser: the start folder in, the chosen folder (or nothing) out.
    std::function<QString(const QString &)> ChooseDir;

    void OKBtnClick();
    void CancelBtnClick();
    void KutenNukiCBClick();
    void SpeedButton1Click();
    // Enter takes every value and closes, Escape closes without; true when the key was one of
    // them.
    bool NumEdit4KeyDown(int key);
    // Refreshes the chosen port's device beside the port box and in its field.
    void UpdatePortPath();
    // The chosen port's device was typed: it is kept for that port until OK stores it.
    void CommDeviceEditChange();

    // The numeric fields in page order, for the shared key handling.
    QList<TSettingUpDown *> UpDowns() const;

    QTabWidget *PageControl1 = nullptr;
    QWidget *DspSheet = nullptr;
    QWidget *DataSheet = nullptr;
    QWidget *etcSheet = nullptr;

    TSettingUpDown *UDDepth1 = nullptr;
    TSettingUpDown *UDNswMax = nullptr;
    TSettingUpDown *UDNmax = nullptr;
    TSettingUpDown *UDTorqueMax = nullptr;
    QCheckBox *WswModeCB = nullptr;
    QCheckBox *NaModeCB = nullptr;
    QCheckBox *TorqueGraphCB = nullptr;

    TSettingUpDown *UDDNsw = nullptr;
    QCheckBox *KutenNukiCB = nullptr;
    QGroupBox *KutenNukiGB = nullptr;
    TSettingUpDown *UDmaxD = nullptr;
    TSettingUpDown *UDminN = nullptr;

    QComboBox *CommCombo = nullptr;
    QLabel *CommPathLabel = nullptr;
    QLineEdit *CommDeviceEdit = nullptr;
    QLineEdit *DirEdit = nullptr;
    QToolButton *SpeedButton1 = nullptr;
    TSettingUpDown *UDRowNum = nullptr;

    // The archive's page: which catalogue, tests going in as they are opened or saved, and what
    // counts as near.
    QWidget *ArchiveSheet = nullptr;
    QRadioButton *ArchiveLocalRB = nullptr;
    QRadioButton *ArchiveUrlRB = nullptr;
    QLineEdit *ArchiveUrlEdit = nullptr;
    QCheckBox *ArchiveOnOpenSaveCB = nullptr;
    QSpinBox *ArchiveRadiusSpin = nullptr;

    QPushButton *OKBtn = nullptr;
    QPushButton *CancelBtn = nullptr;

    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createDspSheet();
    void createDataSheet();
    void createEtcSheet();
    void createArchiveSheet();
    void loadArchiveSheet();
    // Takes the archive's page into the settings; false (the user told why) when the catalogue
    // typed is no catalogue or carries a password.
    bool storeArchiveSheet();
    TSettingUpDown *upDown(QWidget *parent, const char *name, const char *editName, int minimum,
                           int maximum, int step);
    void FormCreate();
    void FormClose();
    // The port the combo box names, when it is one of Comm1..Comm9.
    std::optional<int> chosenPort() const;

    TSetting &m_setting;
    // Each port's device as edited so far (TermMode/Comm1..Comm9).
    std::array<QString, 9> m_comm;
};
