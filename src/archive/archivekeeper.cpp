#include "archivekeeper.h"

#include "archiveentry.h"
#include "reader.h"
#include "settings.h"

#include <QDir>

namespace {

// How long a catalogue that could not be opened is left alone.
constexpr int kPauseAfterFailureMs = 60000;

QString noteOf(const QString &path, const QString &problem)
{
    return QStringLiteral("試験アーカイブに入れられませんでした（%1）: %2")
        .arg(QDir::toNativeSeparators(path), QString(problem).replace(u'\r', u' '));
}

} // namespace

TArchiveKeeper::TArchiveKeeper(const QString &dataFolder)
    : m_dataFolder(dataFolder.isEmpty() ? ProgramDataFolder() : dataFolder)
{}

TArchiveKeeper::~TArchiveKeeper() = default;

TCatalogue *TArchiveKeeper::Catalogue(const TSetting &setting)
{
    if (m_catalogue && m_url == setting.ArchiveDatabase)
        return m_catalogue.get();
    if (m_url != setting.ArchiveDatabase)
        m_pause.setRemainingTime(0);
    m_catalogue.reset();
    m_url = setting.ArchiveDatabase;
    if (!m_pause.hasExpired())
        return nullptr;
    try {
        m_catalogue = std::make_unique<TCatalogue>(ParseCatalogueUrl(m_url, m_dataFolder));
        m_problem.clear();
    } catch (const ETessmarkError &e) {
        failed(e.message());
    }
    return m_catalogue.get();
}

void TArchiveKeeper::Retry()
{
    m_pause.setRemainingTime(0);
}

QString TArchiveKeeper::failed(const QString &problem)
{
    m_problem = problem;
    m_catalogue.reset();
    m_pause.setRemainingTime(kPauseAfterFailureMs);
    return problem;
}

QString TArchiveKeeper::add(const QString &path, const TSetting &setting,
                            const std::function<void(TCatalogue &)> &work)
{
    TCatalogue *catalogue = Catalogue(setting);
    if (!catalogue)
        return noteOf(path, m_problem);
    try {
        work(*catalogue);
        return {};
    } catch (const ECatalogueError &e) {
        // Opened again on a later use: the connection may be what failed.
        return noteOf(path, failed(e.message()));
    } catch (const ETessmarkError &e) {
        return noteOf(path, e.message());
    }
}

QString TArchiveKeeper::ArchiveBytes(const QByteArray &bytes, const QString &path,
                                     const TSetting &setting, const TReferenceTables &tables)
{
    return add(path, setting, [&](TCatalogue &catalogue) {
        catalogue.Add(ArchiveEntryOf(bytes, path, setting, tables), bytes);
    });
}

QString TArchiveKeeper::ArchiveTransferred(const QByteArray &bytes, const QString &path,
                                           const TSetting &setting, const TReferenceTables &tables)
{
    return add(path, setting, [&](TCatalogue &catalogue) {
        TArchiveEntry entry;
        try {
            entry = ArchiveEntryOf(bytes, path, setting, tables);
        } catch (const EDataFileError &e) {
            // What the instrument sent is kept all the same: it may be all there is of the test.
            TArchiveFigures unread;
            unread.Problem = e.message();
            entry = ArchiveEntryOf(bytes, path, unread);
        }
        catalogue.Add(entry, bytes);
    });
}

QString TArchiveKeeper::ArchiveOpenedTest(const QByteArray &bytes, const QString &path,
                                          const TSoundingTest &test, const TSetting &setting)
{
    return add(path, setting, [&](TCatalogue &catalogue) {
        catalogue.Add(ArchiveEntryOf(bytes, path, ArchiveFiguresOf(test, setting)), bytes);
    });
}

TNearbyTests TArchiveKeeper::NearbyTests(const TSiteData &data, const TSetting &setting)
{
    TCatalogue *catalogue = Catalogue(setting);
    if (!catalogue)
        return NearbyTestsUnreachable(m_problem, setting.ArchiveRadius);
    try {
        return FindNearbyTests(*catalogue, data, setting.ArchiveRadius);
    } catch (const ECatalogueError &e) {
        // Opened again on a later use: the connection may be what failed.
        return NearbyTestsUnreachable(failed(e.message()), setting.ArchiveRadius);
    }
}
