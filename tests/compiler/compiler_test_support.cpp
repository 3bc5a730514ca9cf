#include "compiler_test_support.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include "Node.h"
#include "ODL_InputLanguage.h"
#include "ParseRule.h"

namespace {
struct SyntaxAbort {};
[[noreturn]] void throwSyntaxAbort() { throw SyntaxAbort(); }
}  // namespace

std::string captureOutput(const std::function<void()> &fn) {
    std::ostringstream captured;
    std::streambuf *original = std::cout.rdbuf(captured.rdbuf());
    try {
        fn();
    } catch (...) {
        std::cout.rdbuf(original);
        throw;
    }
    std::cout.rdbuf(original);
    return captured.str();
}

ParseResult parseInProcess(const std::string &text) {
    ParseResult result;
    ParseRule::onFatal = throwSyntaxAbort;
    ODL_InputLanguage odl;
    result.output = captureOutput([&] {
        try {
            result.root = odl.parse(text.c_str(), text.size());
        } catch (const SyntaxAbort &) {
            result.failed = true;
        }
    });
    ParseRule::onFatal = nullptr;
    return result;
}

std::string dumpTree(const Node *node) {
    std::string text = node->name.c_str();
    text += "[";
    for (size_t i = 0; i < node->values.size(); ++i) {
        if (i > 0) text += ",";
        text += node->values[i].c_str();
    }
    text += "]";
    if (!node->subNodes.empty()) {
        text += "{";
        for (size_t i = 0; i < node->subNodes.size(); ++i) {
            if (i > 0) text += " ";
            text += dumpTree(node->subNodes[i]);
        }
        text += "}";
    }
    return text;
}

TempDir::TempDir() {
    const char *base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/schemac_test_XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = buffer.data();
}

TempDir::~TempDir() {
    for (const std::string &name : list()) ::unlink(file(name).c_str());
    ::rmdir(path_.c_str());
}

std::vector<std::string> TempDir::list() const { return listDirectory(path_); }

std::vector<std::string> listDirectory(const std::string &path) {
    std::vector<std::string> names;
    DIR *dir = ::opendir(path.c_str());
    if (dir == nullptr) return names;
    while (dirent *entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

std::string readFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeFile(const std::string &path, const std::string &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

void execIn(const std::string &dir, std::vector<std::string> &command) {
    if (::chdir(dir.c_str()) != 0) ::_exit(127);
    std::vector<char *> argv;
    for (std::string &word : command) argv.push_back(&word[0]);
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
}

std::vector<std::string> schemacCommand(const std::vector<std::string> &args) {
    std::vector<std::string> command;
    if (std::string(SCHEMAC_EMULATOR).size() > 0) command.push_back(SCHEMAC_EMULATOR);
    command.push_back(SCHEMAC_PATH);
    command.insert(command.end(), args.begin(), args.end());
    return command;
}

ProcessResult runSchemac(const std::string &dir, const std::vector<std::string> &args) {
    std::vector<std::string> command = schemacCommand(args);
    int output[2];
    if (::pipe(output) != 0) throw std::runtime_error("pipe failed");
    pid_t child = ::fork();
    if (child == 0) {
        int nothing = ::open("/dev/null", O_RDONLY);
        ::dup2(nothing, STDIN_FILENO);
        ::dup2(output[1], STDOUT_FILENO);
        ::close(output[0]);
        ::close(output[1]);
        execIn(dir, command);
    }
    ::close(output[1]);
    ProcessResult result;
    char buffer[4096];
    ssize_t got;
    while ((got = ::read(output[0], buffer, sizeof buffer)) > 0) result.output.append(buffer, static_cast<size_t>(got));
    ::close(output[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string testData(const std::string &name) {
    const char *dir = std::getenv("TALVOR_TEST_DATA");
    return std::string(dir != nullptr ? dir : "data") + "/" + name;
}
