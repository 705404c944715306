// What a survey report tells its client beside the figures: the survey's particulars for the
// site as a whole and for each test point, as the engineer records them.
#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

// The kind of testing machine (試験装置).
enum class TSurveyEquipment { Unset, Manual, SemiAuto, Auto };

// The site's particulars. The site's name (件名) is TSite::Name.
struct TSiteSurvey
{
    QString Address;  // 調査場所
    QString Client;   // 依頼者
    QString Company;  // 調査会社
    QString Engineer; // 調査担当者
    // 報告日: the day the report is printed when not set.
    std::optional<QDate> ReportDate;
    QString Building;   // 建物概要, free text (木造2階建て)
    QString Foundation; // 予定基礎, free text
    TSurveyEquipment Equipment = TSurveyEquipment::Unset;
    QString EquipmentName; // the machine's model name
    QString Findings;      // 所見: the engineer's own text, several lines

    bool operator==(const TSiteSurvey &) const = default;
};

// 孔内水位: measured, not measured, or no water found down to the end of the test.
enum class TWaterLevelKind { Unmeasured, Measured, NotFound };

struct TWaterLevel
{
    TWaterLevelKind Kind = TWaterLevelKind::Unmeasured;
    double Depth = 0; // metres below the ground, when Measured

    bool operator==(const TWaterLevel &) const = default;
};

// 試験終了の理由.
enum class TEndReason { Unset, Depth, Refusal, Obstacle, Other };

// A photograph of a point: an image file, named relative to the site file like the tests, and
// never altered.
struct TSitePhoto
{
    QString File; // absolute path while the site is open
    QString Caption;

    bool operator==(const TSitePhoto &) const = default;
};

// One point's particulars.
struct TPointSurvey
{
    QString Weather; // 天候
    QString Tester;  // 試験者
    TWaterLevel Water;
    TEndReason EndReason = TEndReason::Unset;
    QString EndNote; // free words on why the test ended
    QList<TSitePhoto> Photos;
    QString Note; // 記事

    bool operator==(const TPointSurvey &) const = default;
};

// The words the site file and the command line use for the kinds ("manual", "depth"), and the
// texts a person reads (手動式, 所定の深さ). Unset has the empty word and text.
QString SurveyEquipmentKey(TSurveyEquipment equipment);
QString SurveyEquipmentText(TSurveyEquipment equipment);
std::optional<TSurveyEquipment> SurveyEquipmentOfKey(const QString &key);
QString EndReasonKey(TEndReason reason);
QString EndReasonText(TEndReason reason);
std::optional<TEndReason> EndReasonOfKey(const QString &key);

// The deepest water level taken, in metres below the ground (the deepest base depth's limit).
inline constexpr double kMaxWaterDepth = 99.99;
// A water depth typed in metres ("1.20"), or none when it is no such number or outside
// 0..kMaxWaterDepth.
std::optional<double> ParseWaterDepth(const QString &text);
// The water level's word: its depth with two decimals ("1.20"), "none" or "unmeasured"; and
// the other way round, none when the text is neither.
QString WaterLevelKey(const TWaterLevel &water);
std::optional<TWaterLevel> WaterLevelOfKey(const QString &key);
// As a report states it: "1.20 m", "確認されず" or "未測定".
QString WaterLevelText(const TWaterLevel &water);

// A report date written YYYY-MM-DD, none when it is no such day.
std::optional<QDate> ParseReportDate(const QString &text);

// Why `file` cannot be a point's photo (missing, not a plain file, unreadable, not a JPEG or
// PNG picture), or empty when it can. Only the first bytes are read.
QString PhotoProblem(const QString &file);

// Adds a photo to a point, or gives the one it already has the new caption.
void AddPointPhoto(TPointSurvey &survey, const TSitePhoto &photo);
