#include "WriterSupport.h"
#include "support/RandomRecipes.h"
#include "support/TempDir.h"
#include "writer/CollectionWriter.h"
#include "writer/RecordCodec.h"
#include "writer/SaveError.h"
#include "writer/SaveSteps.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>

using namespace sapidoro;
using namespace sapidoro::test;

namespace {

std::string ReadAll(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs `work` in a child process; its return value is the child's exit status.
pid_t Child(const std::function<int()> &work) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        int status = 3;
        try {
            status = work();
        } catch (const EFileChanged &) {
            status = 2;
        } catch (...) {
            status = 4;
        }
        ::_exit(status);
    }
    return pid;
}

int ExitStatus(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A collection with a middle record large enough that a save writes in several pieces.
std::string Collection(const std::string &middleTag) {
    RecipeFields big = SampleRecipe("Mezzo", middleTag);
    big.preparation.assign(2000, std::string(100, 'x'));
    return ":Ricette\r\n" + EncodeRecord(SampleRecipe("Primo")) + EncodeRecord(big) +
           EncodeRecord(SampleRecipe("Ultimo"));
}

struct FaultCase {
    SaveStep step;
    int count;
    int error;
    const char *message;
};

void PrintTo(const FaultCase &c, std::ostream *out) {
    *out << c.message << " " << c.count;
}

// The test's name: the step and which of its calls fails.
std::string CaseName(const ::testing::TestParamInfo<FaultCase> &info) {
    static const char *const steps[] = {"Lock",   "Open",        "CreateTemp", "Write",
                                        "Sync",   "Permissions", "ReadBack",   "Backup",
                                        "Rename", "SyncFolder"};
    return steps[static_cast<int>(info.param.step)] + std::to_string(info.param.count);
}

class Faults : public ::testing::TestWithParam<FaultCase> {
protected:
    void TearDown() override { SetFaultInjector({}); }
};

void ExpectFaultLeavesTheFile(const FaultCase &c, bool streamed) {
    TempDir dir;
    const std::string path = dir.write("ricette.txt", Collection("a"));
    const std::string earlier = ReadAll(path);
    dir.write("ricette.txt~", "prima");
    SetFaultInjector(
        [&](SaveStep step, int count) { return step == c.step && count == c.count ? c.error : 0; });
    std::string message;
    try {
        RecipeFields changed = SampleRecipe("Mezzo", "b");
        changed.preparation.assign(4000, std::string(100, 'y'));
        // Six records of 400 KB go to the file in two blocks.
        std::vector<RecipeFields> added(6, changed);
        for (std::size_t i = 0; i < added.size(); ++i) added[i].name = "Nuova " + std::to_string(i);
        if (streamed)
            AppendRecipes(dir.path(), added);
        else
            ReplaceRecipe(dir.path(), CurrentIdentity(path), "Mezzo", changed);
    } catch (const ESaveRefused &refusal) {
        message = refusal.message();
    }
    EXPECT_EQ(message.substr(0, message.find(')') + 1),
              std::string("ricette.txt non è stato salvato (") + c.message + ")");
    EXPECT_TRUE(message.ends_with(". Il file è rimasto com'era.")) << message;
    EXPECT_EQ(ReadAll(path), earlier);
    if (c.step != SaveStep::SyncFolder) {
        EXPECT_EQ(ReadAll(path + "~"), "prima");
    }
    EXPECT_EQ(LeftoverTemps(dir.path()), 0);
}

}  // namespace

// Each step of a save fails in turn, in a replace and in an append streamed in blocks: the
// message names the step and the reason, the file and its "~" stay as they were, and no
// temporary file is left.
TEST_P(Faults, LeaveTheFileAsItWas) {
    for (const bool streamed : {false, true}) {
        SCOPED_TRACE(streamed ? "append" : "replace");
        ExpectFaultLeavesTheFile(GetParam(), streamed);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, Faults,
    ::testing::Values(FaultCase{SaveStep::Lock, 0, EIO, "blocco della cartella"},
                      FaultCase{SaveStep::Open, 0, EACCES, "apertura del file"},
                      FaultCase{SaveStep::CreateTemp, 0, EDQUOT, "creazione del file temporaneo"},
                      FaultCase{SaveStep::Write, 0, ENOSPC, "scrittura del file temporaneo"},
                      FaultCase{SaveStep::Write, 1, EDQUOT, "scrittura del file temporaneo"},
                      FaultCase{SaveStep::Write, 2, EIO, "scrittura del file temporaneo"},
                      FaultCase{SaveStep::Sync, 0, EIO, "scrittura su disco del file temporaneo"},
                      FaultCase{SaveStep::Permissions, 0, EPERM, "copia dei permessi"},
                      FaultCase{SaveStep::ReadBack, 0, EIO, "rilettura del file scritto"},
                      FaultCase{SaveStep::Backup, 0, ENOSPC, "copia della versione precedente"},
                      FaultCase{SaveStep::Backup, 1, EIO, "copia della versione precedente"},
                      FaultCase{SaveStep::Rename, 0, EIO, "sostituzione del file"},
                      FaultCase{SaveStep::SyncFolder, 0, EIO, "scrittura su disco della cartella"}),
    CaseName);

// A real file system filled to its last byte.
TEST(WriterCrash, FullFileSystemLeavesTheFileAsItWas) {
    TempDir dir;
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    const pid_t pid = Child([&]() -> int {
        // A mount of its own, seen by this process only.
        if (::unshare(CLONE_NEWNS) != 0 && ::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) return 10;
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return 10;
        if (::mount("none", dir.path().c_str(), "tmpfs", 0, "size=256k") != 0) return 10;
        const std::string path = dir.write("ricette.txt", Collection("a"));
        const std::string before = ReadAll(path);
        std::ofstream filler(dir.file("riempitivo"), std::ios::binary);
        const std::string block(4096, 'f');
        while (filler.write(block.data(), block.size()) && filler.flush()) {
        }
        std::string message;
        try {
            AppendRecipes(dir.path(), {SampleRecipe("Nuova")});
        } catch (const ESaveRefused &refusal) {
            message = refusal.message();
        }
        const bool full = message.find("il disco è pieno") != std::string::npos;
        return full && ReadAll(path) == before && LeftoverTemps(dir.path()) == 0 ? 0 : 1;
    });
    const int status = ExitStatus(pid);
    if (status == 10) GTEST_SKIP() << "no small file system can be mounted here";
    EXPECT_EQ(status, 0);
}

// A saver killed at random moments leaves the file as it was before or after that save, and
// the next start removes what it left.
TEST(WriterCrash, KilledSaverLeavesOldOrNewFile) {
    TempDir dir;
    const std::string path = dir.file("ricette.txt");
    std::mt19937 random(7);
    int kills = 0, completed = 0, interrupted = 0;
    for (unsigned seed = 1; kills < 500; ++seed) {
        std::mt19937 collection(seed);
        dir.write("ricette.txt", RandomCollection(collection));
        AppendRecipes(dir.path(), {SampleRecipe("Prova", "a")});
        const std::string a = ReadAll(path);
        ReplaceRecipe(dir.path(), CurrentIdentity(path), "Prova", SampleRecipe("Prova", "b"));
        const std::string b = ReadAll(path);
        for (int round = 0; round < 50; ++round, ++kills) {
            const pid_t pid = Child([&]() -> int {
                for (int n = 0;; ++n)
                    ReplaceRecipe(dir.path(), CurrentIdentity(path), "Prova",
                                  SampleRecipe("Prova", n % 2 ? "b" : "a"));
            });
            ::usleep(static_cast<useconds_t>(random() % 4000));
            ::kill(pid, SIGKILL);
            ASSERT_EQ(ExitStatus(pid), -1) << "the saver stopped by itself";
            const std::string now = ReadAll(path);
            ASSERT_TRUE(now == a || now == b) << "seed " << seed << " round " << round;
            completed += now == a;
            interrupted += LeftoverTemps(dir.path()) > 0;
            RemoveLeftoverTemps(dir.path());
            ASSERT_EQ(LeftoverTemps(dir.path()), 0);
        }
    }
    // The kills fell both inside saves and after whole ones.
    EXPECT_GT(completed, 0);
    EXPECT_GT(interrupted, 0);
    std::printf("%d kills: %d after a whole save, %d leaving a temporary file\n", kills, completed,
                interrupted);
}

// Another program rewrites the file between the editor's opening and its save, or during the
// save without asking for the lock: its edit stays.
TEST(WriterCrash, AnotherProgramsEditIsNeverOverwritten) {
    TempDir dir;
    const std::string path = dir.write("ricette.txt", Collection("a"));
    const FileIdentity opened = CurrentIdentity(path);
    ASSERT_EQ(ExitStatus(Child([&] { return dir.write("ricette.txt", Collection("altro")), 0; })),
              0);
    const std::string theirs = ReadAll(path);
    EXPECT_THROW(ReplaceRecipe(dir.path(), opened, "Primo", SampleRecipe("Primo", "mio")),
                 EFileChanged);
    SetFaultInjector([&](SaveStep step, int) {
        if (step == SaveStep::ReadBack)
            ExitStatus(Child([&] { return dir.write("ricette.txt", Collection("terzo")), 0; }));
        return 0;
    });
    EXPECT_THROW(
        ReplaceRecipe(dir.path(), CurrentIdentity(path), "Primo", SampleRecipe("Primo", "mio")),
        EFileChanged);
    SetFaultInjector({});
    EXPECT_EQ(ReadAll(path), Collection("terzo"));
    EXPECT_NE(theirs, Collection("terzo"));
}

// Two savers that opened the same file race: one saves, the other is refused.
TEST(WriterCrash, TwoSaversNeverLoseAnEditSilently) {
    TempDir dir;
    const std::string path = dir.file("ricette.txt");
    for (int round = 0; round < 20; ++round) {
        dir.write("ricette.txt", Collection("a"));
        int ready[2], go[2];
        ASSERT_EQ(::pipe(ready), 0);
        ASSERT_EQ(::pipe(go), 0);
        const auto saver = [&](const std::string &tag) {
            return Child([&, tag]() -> int {
                ::close(ready[0]);
                ::close(go[1]);
                const FileIdentity opened = CurrentIdentity(path);
                char byte = 0;
                if (::write(ready[1], &byte, 1) != 1 || ::read(go[0], &byte, 1) != 1) return 5;
                ReplaceRecipe(dir.path(), opened, "Primo", SampleRecipe("Primo", tag));
                return 0;
            });
        };
        const pid_t first = saver("uno"), second = saver("due");
        char bytes[2] = {};
        // Both have taken the file's identity before either saves.
        for (int got = 0; got < 2;) got += static_cast<int>(::read(ready[0], bytes, 2 - got));
        ASSERT_EQ(::write(go[1], bytes, 2), 2);
        const int a = ExitStatus(first), b = ExitStatus(second);
        for (int fd : {ready[0], ready[1], go[0], go[1]}) ::close(fd);
        ASSERT_TRUE((a == 0 && b == 2) || (a == 2 && b == 0)) << a << " " << b;
        const std::string winner = a == 0 ? "uno" : "due";
        EXPECT_EQ(FieldsOf(*FindRecipe(path, "Primo")), SampleRecipe("Primo", winner));
    }
}
