// Killed at any moment while it saves, the program leaves the settings file either as it was
// before that save or as that save meant it: never missing, empty, cut short or unreadable.

#include <csignal>
#include <random>

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "settings/Settings.h"

namespace {

// Both sets store a shadow, which the defaults do not, and Shadow is read last: a file read
// only in part, or not at all, matches neither. The long template makes a save last long
// enough to be hit in the middle.
Settings storedSet(int which)
{
    Settings s;
    s.titleTemplate = QString(100000, QChar(u'a' + which)) + QStringLiteral("\r\n%T");
    s.pictureAlignment = 1 + which;
    s.titleFontName = which ? QStringLiteral("Courier") : QStringLiteral("Liberation Serif");
    s.pickedDate = 46387.5 + which;
    s.shadow = true;
    return s;
}

TEST(SaveKilled, LeavesTheOldOrTheNewFileWhole)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Vemoral/yearmark.reg"));
    const QString key = settingsKeyPath(QStringLiteral("yearmark"));
    const Settings sets[2] = {storedSet(0), storedSet(1)};
    saveSettings(file, key, sets[0]);

    // The saving process marks here whether it is inside a save, so that the test knows its
    // kills landed there and not only between saves.
    auto* saving = static_cast<volatile int*>(
        ::mmap(nullptr, sizeof(int), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));
    ASSERT_NE(saving, MAP_FAILED);
    std::mt19937 random(2026);
    int killedWhileSaving = 0;
    for (int run = 0; run < 200; ++run) {
        *saving = 0;
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i) {
                *saving = 1;
                saveSettings(file, key, sets[i % 2]);
                *saving = 0;
            }
        }
        // The moment of the kill, not a wait for anything.
        ::usleep(std::uniform_int_distribution<useconds_t>(500, 8000)(random));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "saving failed";
        killedWhileSaving += *saving;

        Settings read;
        loadSettings(file, key, read);
        ASSERT_TRUE(read == sets[0] || read == sets[1]) << "after kill " << run;
    }
    ::munmap(const_cast<int*>(saving), sizeof(int));
    EXPECT_GT(killedWhileSaving, 100);
}

} // namespace
