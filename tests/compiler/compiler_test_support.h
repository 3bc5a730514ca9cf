#ifndef TALVOR_TESTS_COMPILER_SUPPORT_H
#define TALVOR_TESTS_COMPILER_SUPPORT_H

#include <functional>
#include <string>
#include <vector>

class Node;

// The outcome of parsing one source in this process: what the parser printed,
// whether it stopped at a syntax error, and the tree when it did not.
struct ParseResult {
    bool failed = false;
    std::string output;
    Node *root = nullptr;
};
ParseResult parseInProcess(const std::string &text);

// Runs fn with standard output captured; returns what it printed.
std::string captureOutput(const std::function<void()> &fn);

// A node and its subtree on one line: name[values]{children}.
std::string dumpTree(const Node *node);

// A fresh directory under the temp folder, removed with its files.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    const std::string &path() const { return path_; }
    std::string file(const std::string &name) const { return path_ + "/" + name; }
    // The names of the files in the directory, sorted.
    std::vector<std::string> list() const;

private:
    std::string path_;
};

// The names of the files in a directory, sorted.
std::vector<std::string> listDirectory(const std::string &path);

std::string readFile(const std::string &path);
void writeFile(const std::string &path, const std::string &bytes);

// The schemac command: the emulator first on a cross build, then the program.
// In a forked child: changes to dir and runs command, or ends with status 127.
[[noreturn]] void execIn(const std::string &dir, std::vector<std::string> &command);

std::vector<std::string> schemacCommand(const std::vector<std::string> &args);

// Runs schemac in dir with standard input closed; exit status and output.
struct ProcessResult {
    int status = -1;
    std::string output;
};
ProcessResult runSchemac(const std::string &dir, const std::vector<std::string> &args);

// The folder of the test data files.
std::string testData(const std::string &name);

#endif
