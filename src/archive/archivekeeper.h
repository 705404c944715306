// The catalogue a program keeps while it runs, and the additions that must never stop what the
// user is doing: a test opened, saved or transferred goes in, and a catalogue that cannot be
// reached or written gives a note instead of an error.
#pragma once

#include "archiveentry.h"
#include "catalogue.h"

#include <QDeadlineTimer>
#include <QString>
#include <functional>
#include <memory>

class TReferenceTables;
struct TSetting;
struct TSiteData;
struct TSoundingTest;

class TArchiveKeeper
{
public:
    // `dataFolder` holds the default catalogue; empty: the program's own data folder.
    explicit TArchiveKeeper(const QString &dataFolder = {});
    ~TArchiveKeeper();

    // The catalogue the settings choose, opened on first use and again after the choice
    // changed; null when it cannot be opened, Problem() saying why. After a failure it is not
    // tried again for a while, so a server that is away does not hold every action.
    TCatalogue *Catalogue(const TSetting &setting);
    const QString &Problem() const { return m_problem; }
    // Opens it on the next use, also within the pause after a failure (the user asked for it).
    void Retry();

    // Adds a test's bytes just written as `path`. Never throws: answers a note for the status
    // bar or standard error when the test could not go in, else empty.
    QString ArchiveBytes(const QByteArray &bytes, const QString &path, const TSetting &setting,
                         const TReferenceTables &tables);
    // A test the instrument transferred, kept as `path` (or meant to be, when its file could
    // not be written): kept as a safe
    // copy even when it cannot be read as a test (its entry then says why). Never throws; the
    // answer is a note as above. The transfer goes on whatever it answers.
    QString ArchiveTransferred(const QByteArray &bytes, const QString &path,
                               const TSetting &setting, const TReferenceTables &tables);
    // A test file's bytes just opened as `test`: its figures are taken from it.
    QString ArchiveOpenedTest(const QByteArray &bytes, const QString &path,
                              const TSoundingTest &test, const TSetting &setting);

    // The tests near a site for its survey report, within the remembered radius. Never throws:
    // a catalogue that cannot be reached gives the reason the report shows instead.
    TNearbyTests NearbyTests(const TSiteData &data, const TSetting &setting);

private:
    QString failed(const QString &problem);
    QString add(const QString &path, const TSetting &setting,
                const std::function<void(TCatalogue &)> &work);

    QString m_dataFolder;
    QString m_url;
    std::unique_ptr<TCatalogue> m_catalogue;
    QString m_problem;
    QDeadlineTimer m_pause{0};
};
