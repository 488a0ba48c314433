#include "platform/Files.h"
#include "settings/Strings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <functional>
#include <grp.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quintara::platform {
namespace {

constexpr uid_t Nobody = 65534;

QByteArray Native(const QString &path)
{
    return QFile::encodeName(path);
}

struct stat StatusOf(const QString &path)
{
    struct stat status {};
    EXPECT_EQ(::stat(Native(path).constData(), &status), 0) << path.toStdString();
    return status;
}

QByteArray Contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void Put(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// What a write came to, as a number that passes through a process's exit status.
int Code(const std::optional<WriteFailure> &failure)
{
    return failure ? 1 + int(failure->problem) : 0;
}

// Root passes every permission check, so a folder that takes no new file is one only for an
// ordinary user: as root, `step` runs in a child that has become nobody (and the files it uses
// are given to nobody first). Answers what `step` answered, -1 when it could not run.
int AsOrdinaryUser(const QStringList &files, const std::function<int()> &step)
{
    if (::geteuid() != 0)
        return step();
    for (const QString &file : files)
        EXPECT_EQ(::chown(Native(file).constData(), Nobody, Nobody), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)
            ::_exit(100);
        ::_exit(step());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

class WholeFile : public ::testing::Test {
protected:
    WholeFile()
    {
        // Open to the ordinary user the tests may become.
        ::chmod(Native(dir.path()).constData(), 0755);
    }
    ~WholeFile() override
    {
        if (!locked.isEmpty())
            ::chmod(Native(locked).constData(), 0755);
    }

    // A folder that takes no new file, holding `name` with `bytes`.
    QString fileInLockedFolder(const QString &name, const QByteArray &bytes, mode_t mode = 0644)
    {
        locked = dir.filePath("locked");
        EXPECT_TRUE(QDir().mkpath(locked));
        const QString path = locked + '/' + name;
        Put(path, bytes);
        ::chmod(Native(path).constData(), mode);
        if (::geteuid() == 0) {
            EXPECT_EQ(::chown(Native(locked).constData(), Nobody, Nobody), 0);
        }
        ::chmod(Native(locked).constData(), 0555);
        return path;
    }

    QTemporaryDir dir;
    QString locked;
};

TEST_F(WholeFile, TheReplacementKeepsModeOwnerAndGroup)
{
    const QString path = dir.filePath("house.clk");
    Put(path, "old");
    ASSERT_EQ(::chmod(Native(path).constData(), 0640), 0);
    // As root the file can belong to anyone; a user keeps their own.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(Native(path).constData(), 12345, 23456), 0);
    }
    const struct stat before = StatusOf(path);

    EXPECT_FALSE(WriteWholeFile(path, "new").has_value());
    const struct stat after = StatusOf(path);
    EXPECT_EQ(Contents(path), "new");
    EXPECT_NE(after.st_ino, before.st_ino) << "replaced by a new file, not rewritten";
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"house.clk"});

    // Through a symbolic link, the file it names is replaced and the link stays.
    const QString link = dir.filePath("link.clk");
    ASSERT_EQ(::symlink("house.clk", Native(link).constData()), 0);
    EXPECT_FALSE(WriteWholeFile(link, "newer").has_value());
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), QFileInfo(path).absoluteFilePath());
    EXPECT_EQ(Contents(path), "newer");
    EXPECT_EQ(StatusOf(path).st_mode, before.st_mode);
}

TEST_F(WholeFile, AFileWithOtherHardLinksIsRefused)
{
    const QString path = dir.filePath("house.clk");
    const QString other = dir.filePath("other.clk");
    Put(path, "old");
    ASSERT_EQ(::link(Native(path).constData(), Native(other).constData()), 0);

    const std::optional<WriteFailure> failure = WriteWholeFile(path, "new");
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->problem, WriteProblem::OtherHardLinks);
    EXPECT_EQ(Contents(path), "old");
    EXPECT_EQ(Contents(other), "old");
    EXPECT_EQ(StatusOf(path).st_nlink, 2u);

    const settings::Strings strings(settings::StringTable::builtIn());
    EXPECT_TRUE(settings::WriteFailureText(strings, *failure).startsWith("The file has other hard links"));
}

TEST_F(WholeFile, InAFolderThatTakesNoNewFileAWritableFileIsRewrittenInPlace)
{
    const QString path = fileInLockedFolder("house.clk", "the old table, longer than the new");
    const QString readOnly = locked + "/readonly.clk";
    Put(readOnly, "kept");
    ::chmod(Native(readOnly).constData(), 0444);
    const ino_t inode = StatusOf(path).st_ino;

    const int written = AsOrdinaryUser({path, readOnly}, [&] {
        return Code(WriteWholeFile(path, "new table")) * 10 + Code(WriteWholeFile(readOnly, "x"));
    });
    // The writable file holds the new bytes and nothing of the longer old ones; the read-only
    // one is refused with the system's reason and stays.
    EXPECT_EQ(written, 0 * 10 + 1 + int(WriteProblem::System));
    EXPECT_EQ(Contents(path), "new table");
    EXPECT_EQ(StatusOf(path).st_ino, inode);
    EXPECT_EQ(Contents(readOnly), "kept");
    EXPECT_EQ(QDir(locked).entryList(QDir::Files), (QStringList{"house.clk", "readonly.clk"}));
}

TEST_F(WholeFile, InPlaceAFileIsLeftAsItWasWhenTheDiskHasNoRoomForIt)
{
    // A disk of its own that can be filled: a small tmpfs, where the test may mount one.
    const QString disk = dir.filePath("disk");
    ASSERT_TRUE(QDir().mkpath(disk));
    if (::geteuid() != 0 ||
        ::mount("tmpfs", Native(disk).constData(), "tmpfs", 0, "size=256k,mode=0755") != 0)
        GTEST_SKIP() << "no small disk of our own to fill";
    struct Unmount {
        QByteArray at;
        ~Unmount() { ::umount2(at.constData(), MNT_DETACH); }
    } unmount{Native(disk)};

    const QString folder = disk + "/locked";
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + "/house.clk";
    const QByteArray old = "the old table";
    Put(path, old);
    ASSERT_EQ(::chown(Native(folder).constData(), Nobody, Nobody), 0);
    ASSERT_EQ(::chmod(Native(folder).constData(), 0555), 0);
    // Fill every block.
    {
        QFile filler(disk + "/filler");
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
    }

    const QByteArray larger(64 * 1024, 'n');
    const int written = AsOrdinaryUser({path}, [&] {
        return Code(WriteWholeFile(path, larger)) * 10 + Code(WriteWholeFile(path, "short"));
    });
    EXPECT_EQ(written, (1 + int(WriteProblem::NoRoomInPlace)) * 10 + 0);
    EXPECT_EQ(Contents(path), "short");

    const settings::Strings strings(settings::StringTable::builtIn());
    const QString text = settings::WriteFailureText(
        strings, {WriteProblem::NoRoomInPlace, QStringLiteral("No space left on device")});
    EXPECT_TRUE(text.contains("rewritten in its place")) << text.toStdString();
    EXPECT_TRUE(text.endsWith("\nNo space left on device"));
}

} // namespace
} // namespace quintara::platform
