#include "cli_site_survey.h"

#include "errors.h"
#include "site.h"

#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QTextStream>
#include <span>

namespace {

// An option of a text or a choice; `Text` is null for the options read in their own way.
template<typename TSurvey> struct TOption
{
    const char *Option;
    const char *Name; // the field as the report names it
    QString TSurvey::*Text;
};

const TOption<TSiteSurvey> kInfoOptions[] = {
    {"--client", "依頼者", &TSiteSurvey::Client},
    {"--address", "調査場所", &TSiteSurvey::Address},
    {"--company", "調査会社", &TSiteSurvey::Company},
    {"--engineer", "調査担当者", &TSiteSurvey::Engineer},
    {"--building", "建物概要", &TSiteSurvey::Building},
    {"--foundation", "予定基礎", &TSiteSurvey::Foundation},
    {"--equipment", "試験装置", nullptr},
    {"--equipment-name", "試験装置の機種名", &TSiteSurvey::EquipmentName},
    {"--report-date", "報告日", nullptr},
    {"--findings", "所見", &TSiteSurvey::Findings},
};

const TOption<TPointSurvey> kPointOptions[] = {
    {"--weather", "天候", &TPointSurvey::Weather},
    {"--tester", "試験者", &TPointSurvey::Tester},
    {"--water", "孔内水位", nullptr},
    {"--end-reason", "試験終了の理由", nullptr},
    {"--end-note", "試験終了の理由の説明", &TPointSurvey::EndNote},
    {"--photo", "写真", nullptr},
    {"--note", "記事", &TPointSurvey::Note},
};

// Findings may be long, but not a file given by mistake.
constexpr qint64 kMaxFindingsBytes = 1 << 20;

template<typename TSurvey>
const TOption<TSurvey> *optionNamed(std::span<const TOption<TSurvey>> options,
                                    const QString &option)
{
    for (const TOption<TSurvey> &o : options) {
        if (option == QLatin1String(o.Option))
            return &o;
    }
    return nullptr;
}

template<typename TSurvey>
[[noreturn]] void refuse(const TOption<TSurvey> &option, const QString &value, const QString &why)
{
    throw ETessmarkError(QStringLiteral("%1（%2）に「%3」は使えません: %4")
                             .arg(QString::fromUtf8(option.Name), QLatin1String(option.Option),
                                  ExcerptForMessage(value), why));
}

// A field of one line (the findings are set apart).
template<typename TSurvey>
void setText(TSurvey &survey, const TOption<TSurvey> &option, const QString &value)
{
    if (value.contains(u'\n') || value.contains(u'\r'))
        refuse(option, value, QStringLiteral("改行は使えません（複数行は --findings だけです）"));
    survey.*option.Text = value;
}

// "\n", "\t" and "\\" in a --findings value; any other backslash stays as it is.
QString unescaped(const QString &text)
{
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar next = i + 1 < text.size() ? text.at(i + 1) : QChar();
        if (text.at(i) == u'\\' && (next == u'n' || next == u't' || next == u'\\')) {
            plain.append(next == u'n' ? u'\n' : next == u't' ? u'\t' : u'\\');
            ++i;
        } else {
            plain.append(text.at(i));
        }
    }
    return plain;
}

QString escaped(const QString &text)
{
    QString line;
    for (const QChar c : text) {
        if (c == u'\\')
            line.append(QStringLiteral("\\\\"));
        else if (c == u'\n')
            line.append(QStringLiteral("\\n"));
        else if (c == u'\t')
            line.append(QStringLiteral("\\t"));
        else if (c != u'\r')
            line.append(c);
    }
    return line;
}

QString findingsFrom(const TOption<TSiteSurvey> &option, QIODevice *input)
{
    if (!input)
        refuse(option, QStringLiteral("-"), QStringLiteral("標準入力がありません"));
    const QByteArray bytes = input->read(kMaxFindingsBytes + 1);
    if (bytes.size() > kMaxFindingsBytes)
        refuse(option, QStringLiteral("-"), QStringLiteral("標準入力が 1 MiB を超えています"));
    QString text = QString::fromUtf8(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    while (text.endsWith(u'\n'))
        text.chop(1);
    return text;
}

// FILE[,CAPTION]: the file is the first part before a comma that names one, so neither a file
// name nor a caption with commas is cut wrongly; when none does, the part before the first
// comma is the file the refusal names.
std::pair<QString, QString> photoArgument(const QString &value)
{
    qsizetype comma = value.indexOf(u',');
    if (comma < 0 || QFileInfo::exists(value))
        return {QFileInfo(value).absoluteFilePath(), QString()};
    for (qsizetype at = comma; at >= 0; at = value.indexOf(u',', at + 1)) {
        if (QFileInfo::exists(value.left(at))) {
            comma = at;
            break;
        }
    }
    return {QFileInfo(value.left(comma)).absoluteFilePath(), value.mid(comma + 1)};
}

} // namespace

bool IsSiteInfoOption(const QString &option)
{
    return optionNamed<TSiteSurvey>(kInfoOptions, option) != nullptr;
}

bool IsPointSurveyOption(const QString &option)
{
    return optionNamed<TPointSurvey>(kPointOptions, option) != nullptr;
}

void ApplySiteInfo(TSiteSurvey &survey, const TSurveyEdits &edits, QIODevice *input)
{
    for (const auto &[name, value] : edits) {
        const TOption<TSiteSurvey> &option = *optionNamed<TSiteSurvey>(kInfoOptions, name);
        if (name == u"--equipment") {
            const std::optional<TSurveyEquipment> equipment = SurveyEquipmentOfKey(value);
            if (!equipment)
                refuse(option, value, QStringLiteral("manual, semi-auto, auto のどれかです"));
            survey.Equipment = *equipment;
        } else if (name == u"--report-date") {
            // "-" goes back to the day the report is printed.
            const std::optional<QDate> date = ParseReportDate(value);
            if (!date && value != u"-")
                refuse(option, value, QStringLiteral("YYYY-MM-DD の日付か - です"));
            survey.ReportDate = date;
        } else if (name == u"--findings") {
            survey.Findings = value == u"-" ? findingsFrom(option, input) : unescaped(value);
        } else {
            setText(survey, option, value);
        }
    }
}

void ApplyPointSurvey(TPointSurvey &survey, const TSurveyEdits &edits, bool noPhotos)
{
    if (noPhotos)
        survey.Photos.clear();
    for (const auto &[name, value] : edits) {
        const TOption<TPointSurvey> &option = *optionNamed<TPointSurvey>(kPointOptions, name);
        if (name == u"--water") {
            const std::optional<TWaterLevel> water = WaterLevelOfKey(value.trimmed());
            if (!water)
                refuse(option, value,
                       QStringLiteral("地表面からの深さ 0～99.99 m、none（確認されず）、"
                                      "unmeasured（未測定）のどれかです"));
            survey.Water = *water;
        } else if (name == u"--end-reason") {
            const std::optional<TEndReason> reason = EndReasonOfKey(value);
            if (!reason)
                refuse(option, value,
                       QStringLiteral("depth, refusal, obstacle, other のどれかです"));
            survey.EndReason = *reason;
        } else if (name == u"--photo") {
            const auto [file, caption] = photoArgument(value);
            const QString problem = PhotoProblem(file);
            if (!problem.isEmpty())
                refuse(option, value, problem);
            AddPointPhoto(survey, {file, caption});
        } else {
            setText(survey, option, value);
        }
    }
}

void PrintSiteInfo(const TSite &site, QTextStream &out)
{
    const TSiteSurvey &survey = site.Survey;
    out << "name\t" << escaped(site.Name) << '\n';
    for (const TOption<TSiteSurvey> &option : kInfoOptions) {
        const QString name = QLatin1String(option.Option).mid(2);
        QString value;
        if (option.Text)
            value = survey.*option.Text;
        else if (name == u"equipment")
            value = SurveyEquipmentKey(survey.Equipment);
        else if (survey.ReportDate)
            value = survey.ReportDate->toString(Qt::ISODate);
        out << name << '\t' << escaped(value) << '\n';
    }
}
