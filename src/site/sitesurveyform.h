// The site window's forms of the survey's particulars: one for the site (client, address, …,
// findings), one for the selected point (weather, tester, water level, end of the test, photos,
// note), side by side as the tabs of one panel. Each writes what is typed into the site at once.
#pragma once

#include "sitesurvey.h"

#include <QTabWidget>
#include <QWidget>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
struct TSiteData;

class TSiteSurveyForm : public QWidget
{
    Q_OBJECT

public:
    // `data` stays the window's.
    explicit TSiteSurveyForm(TSiteData &data, QWidget *parent = nullptr);

    // Shows the site's particulars, unless the form shows them already (its own edits), so
    // typing is never disturbed.
    void Reload();

    QLineEdit *ClientEdit = nullptr;
    QLineEdit *AddressEdit = nullptr;
    QLineEdit *CompanyEdit = nullptr;
    QLineEdit *EngineerEdit = nullptr;
    QLineEdit *ReportDateEdit = nullptr;
    QLineEdit *BuildingEdit = nullptr;
    QLineEdit *FoundationEdit = nullptr;
    QComboBox *EquipmentCombo = nullptr;
    QLineEdit *EquipmentNameEdit = nullptr;
    QPlainTextEdit *FindingsEdit = nullptr;

signals:
    void SiteEdited();

private:
    void edited();
    void ReportDateEditChange();

    TSiteData &m_data;
    TSiteSurvey m_shown;
};

class TPointSurveyForm : public QWidget
{
    Q_OBJECT

public:
    explicit TPointSurveyForm(TSiteData &data, QWidget *parent = nullptr);

    // Shows the point at `index` (-1: none, the form disabled), unless it shows it already.
    void ShowPoint(qsizetype index);
    // Asks for a picture and adds it to the point; removes the selected one.
    void AddPhoto();
    void RemovePhoto();

    QLabel *PointLabel = nullptr;
    QLineEdit *WeatherEdit = nullptr;
    QLineEdit *TesterEdit = nullptr;
    QComboBox *WaterCombo = nullptr;
    QLineEdit *WaterEdit = nullptr;
    QComboBox *EndReasonCombo = nullptr;
    QLineEdit *EndNoteEdit = nullptr;
    QListWidget *PhotoList = nullptr;
    QPushButton *AddPhotoButton = nullptr;
    QPushButton *RemovePhotoButton = nullptr;
    QLineEdit *CaptionEdit = nullptr;
    QLineEdit *NoteEdit = nullptr;

signals:
    void SiteEdited();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TPointSurvey *survey();
    void fill();
    void fillPhotos(qsizetype current);
    void showPhotoSelection();
    void edited();
    void WaterChange();
    void CaptionEditChange();

    TSiteData &m_data;
    qsizetype m_index = -1;
    QString m_shownLabel;
    TPointSurvey m_shown;
};

// Both forms as tabs, and the two commands that bring them up.
class TSiteSurveyPanel : public QTabWidget
{
    Q_OBJECT

public:
    explicit TSiteSurveyPanel(TSiteData &data, QWidget *parent = nullptr);

    // After any change of the site: both forms show what it holds.
    void Reload(qsizetype selectedPoint);

    TSiteSurveyForm *SiteForm = nullptr;
    TPointSurveyForm *PointForm = nullptr;
    QAction *SiteInfoAction = nullptr;  // Ctrl+I: to the site's form
    QAction *PointInfoAction = nullptr; // Ctrl+Shift+I: to the selected point's

signals:
    void SiteEdited();

protected:
    bool event(QEvent *event) override;

private:
    // Shows the panel (also when its dock was closed) at `tab`, the focus on `field`.
    void bringUp(int tab, QWidget *field);
};
