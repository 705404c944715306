// The sounding record: one test's rows and header, the GPS record, the side lists and the
// half-turn text conversions.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

// The text that stands for a self-sinking step wherever a half-turn count is expected.
inline const QString kSelfSinking = QStringLiteral("自沈");

// One measured row.
struct Tvt_data
{
    int Depth = 0;     // cm at the end of the step
    QString Wsw;       // load in hundredths of a kN, as text ("100", "075", "5")
    QString Na;        // half-turns as text, or kSelfSinking
    QString Nsw;       // half-turns per metre, as shown
    double NValue = 0; // converted N value
    QString Obs;       // observation as shown
    QString Doshitu;   // soil type; a trailing "*" marks a hand-chosen type
    QString ObsCode;   // observation code as read from a data file

    bool operator==(const Tvt_data &) const = default;
};

// The thirteen header integers of a test.
struct TTestInfo
{
    int Code1 = 0;
    int Code2 = 0;
    int Code3 = 0;
    int Code4 = 0;
    int PointNo = 0;
    int Year = 0; // two digits: <= 90 means 20xx, else 19xx
    int Month = 0;
    int Day = 0;
    int StartHour = 0;
    int StartMin = 0;
    int EndHour = 0;
    int EndMin = 0;
    int FinalDepth = 0; // cm

    bool operator==(const TTestInfo &) const = default;

    // The year with four digits.
    int fullYear() const { return Year <= 90 ? Year + 2000 : Year + 1900; }
};

// One test. Row 0 is the origin once the log has been filled; rows 1..Count are measured.
// Row storage is shared between logs after CopyLog: a field changed through one log is seen
// through the other, and a log that changes its number of rows takes rows of its own first.
class Tkannyu : public TTestInfo
{
public:
    Tkannyu();

    int Count = 0;

    TTestInfo &info() { return *this; }
    const TTestInfo &info() const { return *this; }

    // Row access (shared storage: writes are seen through every log sharing the rows).
    Tvt_data &row(int i) { return (*m_rows)[i]; }
    const Tvt_data &row(int i) const { return m_rows->at(i); }
    int rowArrayLength() const { return int(m_rows->size()); }
    const QList<Tvt_data> &rows() const { return *m_rows; }

    // Changes of the number of rows: each takes rows of its own first.
    void setRowArrayLength(int length);
    Tvt_data &appendRow(const Tvt_data &row = {});
    void reserveRows(int capacity);

    // Header fields 0, no rows at all, Count 0.
    void reset();
    // Rows = the single origin row (Depth 0, empty texts), Count 0; header left alone.
    void startRows();

    // True while this log refers to the same row storage as `other`.
    bool sharesRowsWith(const Tkannyu &other) const { return m_rows == other.m_rows; }

    friend void CopyLog(const Tkannyu &source, Tkannyu &target);

private:
    void detach();

    std::shared_ptr<QList<Tvt_data>> m_rows;
};

// Header and Count by value, rows shared.
void CopyLog(const Tkannyu &source, Tkannyu &target);

struct TGPSData
{
    QString Status = QStringLiteral("0"); // "1" or "2": a position was taken
    QString Latitude;
    QString LatitudeUnit;
    QString Longitude;
    QString LongitudeUnit;
    QString Altitude;
    QString AltitudeUnit;
    QString GpsExtra1;
    QString GpsExtra2;

    bool operator==(const TGPSData &) const = default;
    bool hasPosition() const { return Status == u"1" || Status == u"2"; }
};

// Status "0", every other field empty.
void Clear_GPS(TGPSData &gps);

struct TTestParam
{
    QString Name;
    int Value = 0;
    bool operator==(const TTestParam &) const = default;
};

// One torque reading: depth in cm and torque in N·m.
struct TTorquePair
{
    int Depth = 0;
    int Torque = 0;
    bool operator==(const TTorquePair &) const = default;
};

// The one open test with everything that belongs to it.
struct TSoundingTest
{
    Tkannyu NormalLog;
    Tkannyu RoundedLog;
    Tkannyu DisplayLog;
    TGPSData TestGps;
    QList<TTestParam> TestParams;
    QList<TTorquePair> TestQuantities;
    QList<QByteArray> RawLines; // the lines read, as bytes, so a re-save is byte exact
    QString CurrentFile;
    // What the reader passed over without failing the file, one sentence each (a GPS line too
    // short to hold a position).
    QStringList ReadNotes;
};

// Half-turn conversions; naMode is the NaMode setting (one decimal when on).
// NaValue raises EConvertError when the text is not a number.
double NaValue(const QString &text, bool naMode);
QString NaText(double value, bool naMode);
QString NswText(double value, bool naMode);
QString NaFileText(double value, bool naMode);
