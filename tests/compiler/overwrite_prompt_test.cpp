// The overwrite question as a person meets it: schemac runs on a
// pseudo-terminal, and each answer is typed (with its line end) once the
// question shows.
#include <gtest/gtest.h>

#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

#include "compiler_test_support.h"

namespace {
const char QUESTION[] = " Overwrite? [N]o,[y]es,[a]ll,[c]ancel";
const char SOURCE[] = "class A { attribute long n; };\nclass B { attribute long m; };\n";
const char *const FILES[] = {"A.h", "A.cpp", "B.h", "B.cpp", "db.h"};  // in writing order
const char OLD[] = "old contents";
// Long enough for a run under an emulator and the sanitizers.
const int TIMEOUT_MS = 60000;

struct TerminalRun {
    int status = -1;
    int questions = 0;
    std::string screen;
};

size_t countOf(const std::string &text, const std::string &word) {
    size_t count = 0;
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + word.size())) ++count;
    return count;
}

// Runs schemac in dir on a pseudo-terminal and types the next answer each
// time a new question shows; a question with no answer left fails the run.
TerminalRun runOnTerminal(const std::string &dir, const std::vector<std::string> &args,
                          const std::vector<std::string> &answers) {
    std::vector<std::string> command = schemacCommand(args);
    int master = -1;
    pid_t child = ::forkpty(&master, nullptr, nullptr, nullptr);
    if (child == 0) {
        execIn(dir, command);
    }
    TerminalRun run;
    size_t answered = 0;
    for (;;) {
        pollfd ready = {master, POLLIN, 0};
        if (::poll(&ready, 1, TIMEOUT_MS) <= 0) {
            ADD_FAILURE() << "no output for a minute; screen so far:\n" << run.screen;
            ::kill(child, SIGKILL);
            break;
        }
        char buffer[1024];
        ssize_t got = ::read(master, buffer, sizeof buffer);
        if (got <= 0) break;  // the child closed the terminal
        run.screen.append(buffer, static_cast<size_t>(got));
        size_t shown = countOf(run.screen, QUESTION);
        if (shown > answered) {
            if (answered == answers.size()) {
                ADD_FAILURE() << "unexpected question; screen:\n" << run.screen;
                ::kill(child, SIGKILL);
                break;
            }
            std::string typed = answers[answered++] + "\n";
            if (::write(master, typed.data(), typed.size()) != static_cast<ssize_t>(typed.size())) break;
        }
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(master);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.questions = static_cast<int>(countOf(run.screen, QUESTION));
    return run;
}

struct PromptCase {
    const char *name;
    std::vector<std::string> options;
    std::vector<std::string> answers;
    int status;
    int questions;
    std::string replaced;  // one letter per file of FILES: r replaced, k kept
};

const PromptCase PROMPT_CASES[] = {
    // Only a lower-case y replaces the file; N, Y and a bare line end keep it.
    {"yes_no_upper_bare", {}, {"y", "n", "Y", "", "y"}, 0, 5, "rkkkr"},
    // All: no later question in the run.
    {"all", {}, {"n", "a"}, 0, 2, "krrrr"},
    // Cancel ends the run at once; files written before stay written.
    {"cancel", {}, {"y", "y", "c"}, 1, 3, "rrkkk"},
    {"overwrite_option", {"-ove"}, {}, 0, 0, "rrrrr"},
};

class OverwritePrompt : public ::testing::TestWithParam<PromptCase> {};

TEST_P(OverwritePrompt, FollowsTheAnswers) {
    const PromptCase &c = GetParam();
    TempDir work;
    writeFile(work.file("model.odl"), SOURCE);
    for (const char *name : FILES) writeFile(work.file(name), OLD);
    std::vector<std::string> args = c.options;
    args.push_back("model.odl");
    args.push_back("db");

    TerminalRun run = runOnTerminal(work.path(), args, c.answers);

    EXPECT_EQ(c.status, run.status) << run.screen;
    EXPECT_EQ(c.questions, run.questions) << run.screen;
    for (size_t i = 0; i < c.replaced.size(); ++i) {
        bool replaced = readFile(work.file(FILES[i])) != OLD;
        EXPECT_EQ(c.replaced[i] == 'r', replaced) << FILES[i] << "\n" << run.screen;
    }
}

TEST(OverwritePrompt, StandsAtTheEndOfTheLineOfItsFile) {
    TempDir work;
    writeFile(work.file("model.odl"), SOURCE);
    writeFile(work.file("B.cpp"), OLD);
    TerminalRun run = runOnTerminal(work.path(), {"model.odl", "db"}, {"n"});
    EXPECT_EQ(0, run.status);
    EXPECT_NE(std::string::npos, run.screen.find(std::string("  Generating source file <B.cpp>") + QUESTION))
        << run.screen;
    EXPECT_EQ(1, run.questions);
}

INSTANTIATE_TEST_SUITE_P(Answers, OverwritePrompt, ::testing::ValuesIn(PROMPT_CASES),
                         [](const ::testing::TestParamInfo<PromptCase> &info) { return std::string(info.param.name); });
}  // namespace
