#include "settings.h"

#include "errors.h"
#include "settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// The one table of options: section, key, field and default, in store order. Loading, saving
// and overriding all walk it, so a new option is added here only.
template<typename Visitor> void visitSettings(TSetting &s, const QString &documentsDir, Visitor &&v)
{
    v("Data", "DNsw", s.DNsw, 250);
    v("PrnMode", "table", s.PrnTable, false);
    v("PrnMode", "Nsw", s.PrnNsw, false);
    v("PrnMode", "N", s.PrnN, false);
    v("PrnMode", "table25", s.PrnTable25, false);
    v("PrnMode", "Nsw25", s.PrnNsw25, false);
    v("PrnMode", "N25", s.PrnN25, false);
    v("PrnMode", "TNsw25", s.PrnTNsw25, false);
    v("PrnMode", "TN25", s.PrnTN25, false);
    v("PrnMode", "Color", s.PrnColor, false);
    v("PrnMode", "RowNum", s.RowNum, 40);
    v("PrnMode", "Printer", s.PrnPrinter, QString());
    v("PrnMode", "PdfFile", s.PrnPdfFile, QString());
    v("GraphMode", "Height", s.GraphHeight, 420);
    v("GraphMode", "Width", s.GraphWidth, 350);
    v("GraphMode", "Top", s.GraphTop, 30);
    v("GraphMode", "Left", s.GraphLeft, 100);
    v("GraphMode", "NswMax", s.NswMax, 300);
    v("GraphMode", "NMax", s.NMax, 25);
    v("GraphMode", "TorqueMax", s.TorqueMax, 100);
    v("GraphMode", "Depth1", s.Depth1, 10);
    v("GraphMode", "Depth2", s.Depth2, 20);
    v("GraphMode", "Graphtype", s.Graphtype, 1);
    v("GraphMode", "Hide", s.Hide, false);
    v("GraphMode", "WswMode", s.WswMode, false);
    v("GraphMode", "TorqueGraph", s.TorqueGraph, false);
    v("GridMode", "Height", s.GridHeight, 330);
    v("GridMode", "Width", s.GridWidth, 485);
    v("GridMode", "Top", s.GridTop, 120);
    v("GridMode", "Left", s.GridLeft, 140);
    v("GridMode", "DNsw", s.GridDNsw, 200);
    v("GridMode", "NaMode", s.NaMode, false);
    v("TermMode", "Port", s.Port, 1);
    static const char *const commKeys[] = {"Comm1", "Comm2", "Comm3", "Comm4", "Comm5",
                                           "Comm6", "Comm7", "Comm8", "Comm9"};
    for (std::size_t i = 0; i < s.Comm.size(); ++i)
        v("TermMode", commKeys[i], s.Comm[i], QString());
    // The folder defaults are read in order: OpenDir and SaveDir default to the TempDir read.
    v("FileMode", "TempDir", s.FileMode.TempDir, QDir(documentsDir).filePath("Vantrell"));
    v("FileMode", "OpenDir", s.FileMode.OpenDir, s.FileMode.TempDir);
    v("FileMode", "SaveDir", s.FileMode.SaveDir, s.FileMode.TempDir);
    v("FileMode", "FilterIndex", s.FileMode.FilterIndex, 1);
    v("KutenNuki", "Flag", s.KutenFlag, false);
    v("KutenNuki", "maxD", s.KutenMaxD, 1);
    v("KutenNuki", "minN", s.KutenMinN, 20);
    v("ManuInp", "Raws", s.Raws, 40);
    v("Evaluation", "BaseDepth", s.BaseDepth, QStringLiteral("0.50"));
    v("Archive", "Database", s.ArchiveDatabase, QString());
    v("Archive", "OnOpenSave", s.ArchiveOnOpenSave, true);
    v("Archive", "Radius", s.ArchiveRadius, 200);
}

QString keyOf(const char *section, const char *key)
{
    return QLatin1String(section) + u'/' + QLatin1String(key);
}

int roundDownTo4(int value)
{
    return value - value % 4;
}

struct Loader
{
    const TSettingsStore &store;

    void operator()(const char *section, const char *key, int &field, int fallback) const
    {
        field = StrToIntDef(store.value(keyOf(section, key)).toString(), fallback);
    }
    void operator()(const char *section, const char *key, bool &field, bool fallback) const
    {
        field = StrToIntDef(store.value(keyOf(section, key)).toString(), fallback ? 1 : 0) != 0;
    }
    void operator()(const char *section, const char *key, QString &field,
                    const QString &fallback) const
    {
        const QVariant value = store.value(keyOf(section, key));
        field = value.isValid() ? value.toString() : fallback;
    }
};

QString textOf(int value)
{
    return QString::number(value);
}
QString textOf(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}
QString textOf(const QString &value)
{
    return value;
}

} // namespace

TSetting LoadSettings(const TSettingsStore &store, const QString &documentsDir)
{
    TSetting s;
    visitSettings(s, documentsDir, Loader{store});
    s.RowNum = std::clamp(roundDownTo4(s.RowNum), 40, 48);
    return s;
}

void SaveSettings(const TSetting &setting, TSettingsStore &store)
{
    TSetting s = setting;
    s.RowNum = roundDownTo4(s.RowNum);
    visitSettings(s, QString(), [&store](const char *section, const char *key, auto &field, auto) {
        store.setValue(keyOf(section, key), textOf(field));
    });
    store.sync();
}

bool SetSettingValue(TSetting &setting, const QString &sectionKey, const QString &value)
{
    bool found = false;
    visitSettings(setting, QString(), [&](const char *section, const char *key, auto &field, auto) {
        if (found || sectionKey.compare(keyOf(section, key), Qt::CaseInsensitive) != 0)
            return;
        found = true;
        using Field = std::decay_t<decltype(field)>;
        if constexpr (std::is_same_v<Field, QString>)
            field = value;
        else if constexpr (std::is_same_v<Field, bool>)
            field = StrToInt(value) != 0;
        else
            field = StrToInt(value);
    });
    return found;
}

TSettingsStore *OpenSettingsStore(const QString &application)
{
    QString name = application;
    if (name.isEmpty())
        name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (name.isEmpty())
        name = QStringLiteral("tessmark");
#ifdef Q_OS_WIN
    return new TSettingsStore(QStringLiteral("Korvath\\") + name);
#else
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return new TSettingsStore(config + QStringLiteral("/Korvath/") + name + QStringLiteral(".ini"));
#endif
}

QString DocumentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : QDir::cleanPath(documents);
}
