#include "platform/Files.h"
#include "settings/Strings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <grp.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quintara::platform {
namespace {

constexpr uid_t Nobody = 65534;

const auto Native = [](const QString &path) { return QFile::encodeName(path); };

struct stat StatusOf(const QString &path)
{
    struct stat status {};
    ::stat(Native(path).constData(), &status);
    return status;
}

QByteArray Contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void Put(const QString &path, const QByteArray &bytes, mode_t mode = 0644)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    ::chmod(Native(path).constData(), mode);
}

// What two writes came to, as a number that passes through a process's exit status.
int Codes(const std::optional<WriteFailure> &first, const std::optional<WriteFailure> &second)
{
    return (first ? 1 + int(first->problem) : 0) * 10 + (second ? 1 + int(second->problem) : 0);
}

// A folder that takes no new file, for an ordinary user: root passes every permission check, so
// as root `step` runs in a child that has become nobody, and the files are given to nobody first.
// Answers what `step` answered, -1 when it could not run.
int InLockedFolder(const QString &folder, const QStringList &files, const std::function<int()> &step)
{
    const bool root = ::geteuid() == 0;
    for (const QString &file : files + QStringList{folder})
        EXPECT_TRUE(!root || ::chown(Native(file).constData(), Nobody, Nobody) == 0);
    ::chmod(Native(folder).constData(), 0555);
    if (!root)
        return step();
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)
            ::_exit(100);
        ::_exit(step());
    }
    int status = 0;
    const bool ran = child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status);
    ::chmod(Native(folder).constData(), 0755);
    return ran ? WEXITSTATUS(status) : -1;
}

class WholeFile : public ::testing::Test {
protected:
    WholeFile() { ::chmod(Native(dir.path()).constData(), 0755); } // open to nobody
    QTemporaryDir dir;
};

// Replaced by a new file that keeps what the old one had; through a symbolic link, the file it
// names. (A file with other hard links is refused: the clock file's tests show it.)
TEST_F(WholeFile, TheReplacementKeepsModeOwnerGroupAndSymbolicLinks)
{
    const QString path = dir.filePath("house.clk");
    Put(path, "old", 0640);
    if (::geteuid() == 0) { // as root the file can belong to anyone; a user keeps their own
        ASSERT_EQ(::chown(Native(path).constData(), 12345, 23456), 0);
    }
    const struct stat before = StatusOf(path);
    EXPECT_FALSE(WriteWholeFile(path, "new").has_value());
    const struct stat after = StatusOf(path);
    EXPECT_EQ(std::tuple(Contents(path), after.st_ino == before.st_ino, after.st_mode, after.st_uid,
                         after.st_gid),
              std::tuple(QByteArray("new"), false, before.st_mode, before.st_uid, before.st_gid));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"house.clk"});

    const QString link = dir.filePath("link.clk");
    ASSERT_EQ(::symlink("house.clk", Native(link).constData()), 0);
    EXPECT_FALSE(WriteWholeFile(link, "newer").has_value());
    EXPECT_EQ(std::pair(QFileInfo(link).symLinkTarget(), Contents(path)),
              std::pair(QFileInfo(path).absoluteFilePath(), QByteArray("newer")));

}

// The writable file holds the new bytes and nothing of the longer old ones; a read-only one is
// refused with the system's reason and stays.
TEST_F(WholeFile, InAFolderThatTakesNoNewFileAWritableFileIsRewrittenInPlace)
{
    const QString path = dir.filePath("house.clk"), readOnly = dir.filePath("readonly.clk");
    Put(path, "the old table, longer than the new");
    Put(readOnly, "kept", 0444);
    const ino_t inode = StatusOf(path).st_ino;
    const auto write = [&] {
        return Codes(WriteWholeFile(path, "new table"), WriteWholeFile(readOnly, "x"));
    };
    EXPECT_EQ(InLockedFolder(dir.path(), {path, readOnly}, write), 1 + int(WriteProblem::System));
    EXPECT_EQ(std::tuple(Contents(path), StatusOf(path).st_ino, Contents(readOnly)),
              std::tuple(QByteArray("new table"), inode, QByteArray("kept")));
}

TEST_F(WholeFile, InPlaceAFileIsLeftAsItWasWhenTheDiskHasNoRoomForIt)
{
    // A disk of its own that can be filled: a small tmpfs, where the test may mount one.
    const QString disk = dir.filePath("disk");
    ASSERT_TRUE(QDir().mkpath(disk));
    if (::geteuid() != 0 ||
        ::mount("tmpfs", Native(disk).constData(), "tmpfs", 0, "size=256k,mode=0755") != 0)
        GTEST_SKIP() << "no small disk of our own to fill";
    const auto detach = [&](void *) { ::umount2(Native(disk).constData(), MNT_DETACH); };
    const std::shared_ptr<void> unmount(nullptr, detach);
    const QString path = disk + "/house.clk";
    Put(path, "the old table");
    QFile filler(disk + "/filler");
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (filler.write(QByteArray(4096, 'f')) == 4096) {
    }
    const auto write = [&] {
        return Codes(WriteWholeFile(path, QByteArray(64 * 1024, 'n')),
                     WriteWholeFile(path, "short"));
    };
    EXPECT_EQ(InLockedFolder(disk, {path}, write), (1 + int(WriteProblem::NoRoomInPlace)) * 10);
    EXPECT_EQ(Contents(path), "short");
    const settings::Strings strings(settings::StringTable::builtIn());
    const QString text = settings::WriteFailureText(
        strings, {WriteProblem::NoRoomInPlace, QStringLiteral("No space left on device")});
    EXPECT_TRUE(text.contains("rewritten in its place") && text.endsWith("\nNo space left on device"))
        << text.toStdString();
}

} // namespace
} // namespace quintara::platform
