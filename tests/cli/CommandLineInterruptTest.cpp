// Ctrl-C during a run: the real `quillmark` stamps a large document and gets
// SIGINT as soon as it opens its input or its temporary file appears in the
// output folder (seen through inotify, so the signal comes while the file is
// read and stamped, or while it is saved). An interrupted run leaves no
// temporary file and ends with status 130; a batch finishes the file at hand
// at the first Ctrl-C, runs no other and says so once, and ends at once at
// the second.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "CommandLineFixture.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using clitest::CommandLineTest;

class CommandLineInterrupt : public CommandLineTest {
protected:
    void SetUp() override {
        fs::create_directories(File("out"));
        fs::create_directories(File("in"));
        qmtest::writeSimplePdf(File("in/large.pdf"), 2000);
        qmtest::writeSimplePdf(File("in/small.pdf"), 1);
        ImportProfile("numbers", clitest::kNumberingProfile);
    }

    // When the signals are sent.
    enum class Moment {
        Reading,  // the input large.pdf is opened
        Saving,   // a hidden file (a temporary) is made in the output folder
    };

    // Runs `quillmark ARGS`, sends it `signals` SIGINTs at the moment, and
    // answers its status as a shell gives it (128 + the signal for a program a
    // signal ended).
    int RunInterrupted(const std::vector<std::string>& args, int signals, Moment moment) {
        const int watch = ::inotify_init1(IN_CLOEXEC);
        EXPECT_GE(watch, 0);
        const bool saving = moment == Moment::Saving;
        EXPECT_GE(::inotify_add_watch(watch, File(saving ? "out" : "in").c_str(), saving ? IN_CREATE : IN_OPEN), 0);
        const auto isMoment = [saving](const std::string& name) {
            return saving ? name[0] == '.' : name == "large.pdf";
        };
        std::vector<std::string> words = {QM_TEST_CLI_PATH, "--plugin-dir", Plugins()};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, File("stdout.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, File("stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = 0;
        EXPECT_EQ(::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        int status = 0;
        if (WaitForEvent(watch, pid, isMoment, &status)) {
            for (int i = 0; i < signals; ++i) {
                if (i > 0) WaitUntilHandled(pid);
                ::kill(pid, SIGINT);
            }
            ::waitpid(pid, &status, 0);
        } else {
            ADD_FAILURE() << "the program ended before the moment came: " << Err();
        }
        ::close(watch);
        return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
    }

    std::vector<std::string> OutputFolder() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(File("out"))) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string Err() const { return qmtest::readBytes(File("stderr.txt")); }

private:
    // True once the watch sees an event on a file whose name isMoment takes;
    // false (status set) when the program ends first.
    template <class IsMoment>
    static bool WaitForEvent(int watch, pid_t pid, const IsMoment& isMoment, int* status) {
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            pollfd ready{watch, POLLIN, 0};
            if (::poll(&ready, 1, 100) > 0) {
                const ssize_t size = ::read(watch, buffer, sizeof buffer);
                for (ssize_t at = 0; at < size;) {
                    const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                    if (event->len > 0 && isMoment(std::string(event->name))) return true;
                    at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
                }
            } else if (::waitpid(pid, status, WNOHANG) == pid) {
                return false;
            }
        }
    }
    // Until the program has taken the SIGINT sent to it (none is pending).
    static void WaitUntilHandled(pid_t pid) {
        for (;;) {
            std::ifstream status("/proc/" + std::to_string(pid) + "/status");
            std::string line;
            bool pending = false;
            while (std::getline(status, line))
                if (line.rfind("SigPnd:", 0) == 0 || line.rfind("ShdPnd:", 0) == 0)
                    pending = pending || (std::stoull(line.substr(7), nullptr, 16) & (1ull << (SIGINT - 1))) != 0;
            if (!pending) return;
            ::usleep(1000);
        }
    }
};

TEST_F(CommandLineInterrupt, AnInterruptedRunLeavesNoTemporaryAndEndsWith130) {
    struct Row {
        const char* name;
        std::vector<std::string> args;
        int signals;
        Moment moment;
        std::vector<std::string> outputs;  // what the output folder holds after
        size_t cancelledSaid;              // how often standard error says "cancelled"
    };
    const std::vector<std::string> batch = {"batch", "--profile", "numbers", "--out-dir", File("out"),
                                            File("in/large.pdf"), File("in/small.pdf")};
    const Row rows[] = {
        {"stamp", {"stamp", "--profile", "numbers", File("in/large.pdf"), "-o", File("out/large.pdf")}, 1,
         Moment::Saving, {}, 0},
        {"batch, one Ctrl-C while saving: the file is finished, the next is not run", batch, 1, Moment::Saving,
         {"large.pdf"}, 1},
        {"batch, one Ctrl-C while stamping: the file is finished, the next is not run", batch, 1, Moment::Reading,
         {"large.pdf"}, 1},
        {"batch, a second Ctrl-C ends it at once", batch, 2, Moment::Saving, {}, 0},
    };
    for (const Row& row : rows) {
        fs::remove_all(File("out"));
        fs::create_directories(File("out"));
        EXPECT_EQ(RunInterrupted(row.args, row.signals, row.moment), 130) << row.name << ": " << Err();
        EXPECT_EQ(OutputFolder(), row.outputs) << row.name << ": " << Err();
        EXPECT_EQ(clitest::CountOf(Err(), "cancelled"), row.cancelledSaid) << row.name << ": " << Err();
        for (const std::string& output : row.outputs)
            EXPECT_EQ(qmtest::qpdfCheck(File("out/" + output)).status, 0) << row.name << ": " << output;
    }
}

}  // namespace
