#include "gui/app/DupCheck.h"

#include "platform/WorkFolder.h"

#include <QFileInfo>
#include <QLockFile>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

class DupCheckTest : public ::testing::Test {
protected:
    QString folder() const { return QString::fromStdString(m_folder.path().string()); }
    TWorkFolder m_folder;
};

} // namespace

TEST_F(DupCheckTest, ASecondRunCallsTheFirstForwardAndMustEnd) {
    TDupCheck first("ruvpelton", folder());
    EXPECT_FALSE(first.TerminateRequested());
    QSignalSpy calls(&first, &TDupCheck::comeForward);
    {
        TDupCheck second("ruvpelton", folder(),
                         QStringLiteral("/tmp/馬券 %20\n.lzh")); // handed over whole
        EXPECT_TRUE(second.TerminateRequested());
    }
    ASSERT_TRUE(calls.wait(5000));
    EXPECT_EQ(calls.first().at(0).toString(), QStringLiteral("/tmp/馬券 %20\n.lzh"));

    // another program's guard is another guard
    TDupCheck other("ruvpelton-batch", folder());
    EXPECT_FALSE(other.TerminateRequested());
    QTest::qWait(50);
    EXPECT_EQ(calls.count(), 1);
}

TEST_F(DupCheckTest, TheGuardIsReleasedWhenItsObjectEnds) {
    auto first = std::make_unique<TDupCheck>("ruvpelton", folder());
    first.reset();
    TDupCheck next("ruvpelton", folder());
    EXPECT_FALSE(next.TerminateRequested());
    TDupCheck after("ruvpelton", folder());
    EXPECT_TRUE(after.TerminateRequested());
}

TEST_F(DupCheckTest, TheLockOfARunThatCrashedIsTakenOver) {
    const QString lockPath = folder() + "/ruvpelton.lock";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // takes the lock and its socket's place, and dies without giving either back
        QLockFile lock(lockPath);
        std::ofstream(m_folder.path() / "ruvpelton.socket") << "left behind";
        _exit(lock.tryLock(0) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(QFileInfo::exists(lockPath));

    TDupCheck first("ruvpelton", folder());
    EXPECT_FALSE(first.TerminateRequested());
    // and it listens where the dead run's socket file was
    QSignalSpy calls(&first, &TDupCheck::comeForward);
    TDupCheck second("ruvpelton", folder());
    EXPECT_TRUE(second.TerminateRequested());
    EXPECT_TRUE(calls.wait(5000));
}
