#include "safewrite.h"

#include "errors.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRandomGenerator>

#include <cerrno>

#ifdef Q_OS_WIN
#include <QSaveFile>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace SafeWrite {
namespace {

QMutex hookLock;
TFaultHook faultHook;

// The errno a test wants this call to fail with, 0 for none.
int injectedFault(TCall call)
{
    const QMutexLocker locker(&hookLock);
    return faultHook ? faultHook(call) : 0;
}

} // namespace

void SetFaultHook(TFaultHook hook)
{
    const QMutexLocker locker(&hookLock);
    faultHook = std::move(hook);
}

} // namespace SafeWrite

namespace {

using SafeWrite::TCall;

// The file a write to `path` lands in: a link is followed, as people expect of "save".
QString writeTarget(const QString &path)
{
    const QFileInfo info(path);
    if (info.isSymLink()) {
        const QString target = info.symLinkTarget();
        if (!target.isEmpty())
            return target;
    }
    return info.absoluteFilePath();
}

#ifndef Q_OS_WIN

class TAtomicWriter
{
public:
    explicit TAtomicWriter(const QString &path) : m_path(path), m_target(writeTarget(path)) {}
    ~TAtomicWriter()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_temp.isEmpty())
            ::unlink(m_temp.constData());
    }

    // Writes the new file and puts it in place; false only when `replace` is false and the
    // name is taken.
    bool run(const QByteArray &data, bool replace)
    {
        create();
        write(data);
        sync();
        close();
        return putInPlace(replace);
    }

private:
    [[noreturn]] void fail(int error) const { throw ECantWriteFile::OfSystemError(m_path, error); }
    void check(TCall call) const
    {
        if (const int error = SafeWrite::injectedFault(call))
            fail(error);
    }

    void create()
    {
        check(TCall::Create);
        const QFileInfo info(m_target);
        // The new file takes the old one's permissions, else the usual ones under the umask.
        struct stat old = {};
        const bool exists = ::stat(QFile::encodeName(m_target).constData(), &old) == 0;
        const QString stem = info.absolutePath() + QStringLiteral("/.") + info.fileName() + u'.';
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QByteArray name = QFile::encodeName(
                stem + QString::number(QRandomGenerator::global()->generate(), 36) +
                QStringLiteral(".part"));
            m_fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (m_fd >= 0) {
                m_temp = name;
                if (exists && S_ISREG(old.st_mode))
                    ::fchmod(m_fd, old.st_mode & 07777);
                return;
            }
            if (errno != EEXIST)
                fail(errno);
        }
        fail(EEXIST);
    }

    void write(const QByteArray &data)
    {
        // In pieces, so that every one of a large file's writes is checked on its own.
        constexpr qsizetype kPiece = 1 << 20;
        for (qsizetype done = 0; done < data.size();) {
            check(TCall::Write);
            const ssize_t written =
                ::write(m_fd, data.constData() + done, size_t(qMin(kPiece, data.size() - done)));
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                fail(errno);
            }
            done += written;
        }
    }

    void sync()
    {
        check(TCall::Sync);
        if (::fsync(m_fd) != 0)
            fail(errno);
    }

    void close()
    {
        const int fd = std::exchange(m_fd, -1);
        const int injected = SafeWrite::injectedFault(TCall::Close);
        // A failing close may be the first word of a write that never reached the disk.
        if (::close(fd) != 0 && !injected)
            fail(errno);
        if (injected)
            fail(injected);
    }

    bool putInPlace(bool replace)
    {
        check(TCall::Rename);
        const QByteArray target = QFile::encodeName(m_target);
        if (replace) {
            if (::rename(m_temp.constData(), target.constData()) != 0)
                fail(errno);
        } else if (::link(m_temp.constData(), target.constData()) != 0) {
            // A link is the one step that never replaces a file; it answers EEXIST when the
            // name is taken, also by another process at the same moment.
            if (errno == EEXIST)
                return false;
            if (errno != EPERM && errno != ENOTSUP && errno != EOPNOTSUPP)
                fail(errno);
            // A file system without links (a memory card's): the name is checked, then taken.
            if (::access(target.constData(), F_OK) == 0)
                return false;
            if (::rename(m_temp.constData(), target.constData()) != 0)
                fail(errno);
        }
        // The temporary name is gone (renamed) or only a second name of the target (linked).
        if (!replace)
            ::unlink(m_temp.constData());
        m_temp.clear();
        syncFolder();
        return true;
    }

    // The new name is made durable too; the file is already complete in place, so a folder
    // that cannot be synced does not undo the save.
    void syncFolder() const
    {
        const QByteArray folder = QFile::encodeName(QFileInfo(m_target).absolutePath());
        const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }

    QString m_path;
    QString m_target;
    QByteArray m_temp;
    int m_fd = -1;
};

bool writeFile(const QString &path, const QByteArray &data, bool replace)
{
    return TAtomicWriter(path).run(data, replace);
}

#else

// Windows: the toolkit's save file, with the flush its commit would not report checked first.
bool writeFile(const QString &path, const QByteArray &data, bool replace)
{
    if (!replace && QFileInfo::exists(path))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.flush()) {
        const ECantWriteFile failure = ECantWriteFile::Of(file);
        file.cancelWriting();
        throw failure;
    }
    if (!file.commit())
        throw ECantWriteFile::Of(file);
    return true;
}

#endif

} // namespace

void WriteFileAtomically(const QString &path, const QByteArray &data)
{
    writeFile(path, data, true);
}

void WriteFileAtomically(const QString &path, const std::function<void(QIODevice &)> &produce)
{
    QByteArray data;
    {
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        produce(buffer);
    }
    writeFile(path, data, true);
}

bool WriteNewFileAtomically(const QString &path, const QByteArray &data)
{
    return writeFile(path, data, false);
}
