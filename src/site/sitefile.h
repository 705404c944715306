// The site file (.tsite): a site as a small versioned UTF-8 JSON document, its test files
// named relative to the site file's folder.
#pragma once

#include "errors.h"
#include "site.h"

#include <QByteArray>
#include <QString>

// The version this program writes; it reads every version up to it. Version 2 added the
// survey's particulars (client, water level, photos, …); a version-1 file reads as one without.
inline constexpr int kSiteFileVersion = 2;
// The file name extension, without its dot.
inline const QString kSiteFileSuffix = QStringLiteral("tsite");

// A site file cannot be read: the message names the file and the part that is wrong.
class ESiteFileError : public ETessmarkError
{
public:
    using ETessmarkError::ETessmarkError;
};

// True when the path ends in ".tsite" (any case).
bool IsSiteFile(const QString &path);

// How the site file in `folder` names the point's test: as the file named it when read, while
// that still names the same file; otherwise relative to the folder.
QString SiteFileReference(const TSiteTestPoint &point, const QString &folder);

// The document of `site` with its test files named by SiteFileReference.
QByteArray SiteDocument(const TSite &site, const QString &folder);
// The site a document holds, its test files made absolute against `folder`. `fileName` is how
// messages name the document. Raises ESiteFileError.
TSite ParseSiteDocument(const QByteArray &document, const QString &folder, const QString &fileName);

// Reads a site file. Raises ESiteFileError (also when the file cannot be read).
TSite ReadSiteFile(const QString &path);
// Reads a site file and its tests, with the figures. Raises ESiteFileError as ReadSiteFile does;
// a test that cannot be read stays a point without data.
TSiteData ReadSiteWithTests(const QString &path, const TSetting &setting,
                            const TReferenceTables &tables);

// Writes a site file through a temporary file beside it, so a failed write leaves the old
// file whole. Raises ECantWriteFile naming the file.
void WriteSiteFile(const TSite &site, const QString &path);
