// bench_lua: each program of bench/lua/programs run by the program's Lua and by Debian's lua5.1
// (when installed; never linked), and their times side by side.
//
//   bench_lua [RUNS] [FILTER]   RUNS runs of each side (default and least 10); only programs
//                               whose name holds FILTER
//
// The first table is the comparison: every run of either side is a fresh process (luarun, the
// program's runner, and lua5.1, on the same file with the same arguments), so both pay for
// starting, growing their heap and touching its pages for the first time. The runs alternate
// between the two sides, program after program, so that a change in the machine's load falls on
// both; the best and the median of each side are shown, and the ratios of the two. The second
// table is the interpreter alone: the same programs in this process, one new state per run, the
// heap already grown by the runs before; lua5.1 has no such figure.
//
// The times are processor time (user and system) of the process or of the run, which other work
// on the machine disturbs less than wall-clock time. Pin the program to one core (the children
// inherit it): taskset -c 1 bench_lua. Every run of both sides must print the same; the exit
// status is 1 when a run fails or the outputs differ.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "script/lua/lib/auxlib.h"
#include "script/lua/lib/lualib.h"
#include "script/lua/lua.h"

extern char** environ;

namespace {

constexpr int kLeastRuns = 10;

double Seconds(const timeval& tv) {
    return static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) * 1e-6;
}

// Runs the command as a new process with its standard output read into *output; answers its
// processor seconds, or a negative value when it could not start or failed.
double RunProcess(const std::vector<std::string>& command, std::string* output) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
    std::vector<char*> argv;
    for (const std::string& word : command)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    pid_t child;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    output->clear();
    char buffer[4096];
    ssize_t n;
    while ((n = read(pipeEnds[0], buffer, sizeof buffer)) > 0)
        output->append(buffer, static_cast<size_t>(n));
    close(pipeEnds[0]);
    if (spawned != 0) return -1;
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return -1;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
}

double ProcessSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// What the programs print in this process, gathered instead of written.
std::string gPrinted;

int CapturePrint(lua_State* L) {
    int n = lua_gettop(L);
    for (int i = 1; i <= n; i++) {
        lua_pushliteral(L, "tostring");
        lua_gettable(L, LUA_GLOBALSINDEX);
        lua_pushvalue(L, i);
        lua_call(L, 1, 1);
        if (i > 1) gPrinted += '\t';
        const char* s = lua_tostring(L, -1);
        if (s != nullptr) gPrinted.append(s, lua_strlen(L, -1));
        lua_pop(L, 1);
    }
    gPrinted += '\n';
    return 0;
}

// Runs the program in a new state of this process; answers the seconds taken, or a negative
// value on failure.
double RunInProcess(const std::string& path, const std::string& text, std::string* output) {
    gPrinted.clear();
    double start = ProcessSeconds();
    lua_State* L = lua_open();
    luaopen_base(L);
    luaopen_string(L);
    luaopen_table(L);
    lua_register(L, "print", CapturePrint);
    std::string chunkname = "@" + path;
    int status = luaL_loadbuffer(L, text.data(), text.size(), chunkname.c_str());
    if (status == 0) status = lua_pcall(L, 0, 0, 0);
    if (status != 0) {
        const char* msg = lua_tostring(L, -1);
        fprintf(stderr, "%s\n", msg != nullptr ? msg : "error");
    }
    lua_close(L);
    double seconds = ProcessSeconds() - start;
    *output = gPrinted;
    return status == 0 ? seconds : -1;
}

bool HaveLua51() {
    return system("command -v lua5.1 >/dev/null 2>&1") == 0;
}

struct Times {
    std::vector<double> runs;
    double Best() const { return *std::min_element(runs.begin(), runs.end()); }
    double Median() const {
        std::vector<double> sorted = runs;
        std::sort(sorted.begin(), sorted.end());
        size_t n = sorted.size();
        return n % 2 == 1 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
    }
};

struct Program {
    std::string path;
    std::string name;
    std::string text;
    Times ours;
    Times theirs;
    Times inProcess;
    std::string expected;  // what the first run printed
    bool failed = false;
    bool differs = false;
};

// Notes a run: its time, or its failure, and whether it printed what the first run did.
void Record(Program& program, Times& times, double seconds, const std::string& output) {
    if (seconds < 0) {
        program.failed = true;
        return;
    }
    if (program.ours.runs.empty() && program.theirs.runs.empty() &&
        program.inProcess.runs.empty()) {
        program.expected = output;
    } else if (output != program.expected) {
        program.differs = true;
    }
    times.runs.push_back(seconds);
}

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(kLeastRuns, atoi(argv[1])) : kLeastRuns;
    std::string filter = argc > 2 ? argv[2] : "";
    std::vector<Program> programs;
    for (const auto& entry : std::filesystem::directory_iterator(UMBRAVA_LUA_BENCH_PROGRAMS)) {
        std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".lua" && name.find(filter) != std::string::npos) {
            Program program;
            program.path = entry.path().string();
            program.name = entry.path().stem().string();
            std::ifstream in(program.path, std::ios::binary);
            program.text.assign(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
            programs.push_back(std::move(program));
        }
    }
    std::sort(programs.begin(), programs.end(),
              [](const Program& a, const Program& b) { return a.name < b.name; });
    const bool lua51 = HaveLua51();
    if (!lua51) printf("lua5.1 is not installed: only this program's Lua is timed\n");
    printf("%d runs of each side, fresh processes interleaved\n", runs);
    fflush(stdout);

    std::string output;
    for (int run = 0; run < runs; ++run) {
        for (Program& program : programs) {
            if (program.failed) continue;
            // Alternate which side goes first, so that neither always follows the other.
            const bool oursFirst = run % 2 == 0;
            for (int side = 0; side < 2; ++side) {
                if ((side == 0) == oursFirst) {
                    double t = RunProcess({UMBRAVA_LUARUN, program.path}, &output);
                    Record(program, program.ours, t, output);
                } else if (lua51) {
                    double t = RunProcess({"lua5.1", program.path}, &output);
                    Record(program, program.theirs, t, output);
                }
            }
        }
    }
    for (int run = 0; run < runs; ++run) {
        for (Program& program : programs) {
            if (program.failed) continue;
            double t = RunInProcess(program.path, program.text, &output);
            Record(program, program.inProcess, t, output);
        }
    }

    int failures = 0;
    printf("\nFresh processes: luarun against lua5.1 (processor seconds)\n");
    printf("%-12s %9s %9s %9s %9s %8s %8s\n", "program", "ours best", "median", "5.1 best",
           "median", "ratio", "median");
    for (const Program& p : programs) {
        if (p.failed || p.differs) {
            printf("%-12s %s\n", p.name.c_str(), p.failed ? "failed" : "the outputs differ");
            failures++;
            continue;
        }
        if (!lua51) {
            printf("%-12s %9.3f %9.3f\n", p.name.c_str(), p.ours.Best(), p.ours.Median());
            continue;
        }
        printf("%-12s %9.3f %9.3f %9.3f %9.3f %8.2f %8.2f\n", p.name.c_str(), p.ours.Best(),
               p.ours.Median(), p.theirs.Best(), p.theirs.Median(), p.ours.Best() / p.theirs.Best(),
               p.ours.Median() / p.theirs.Median());
    }
    printf(
        "\nIn this process, for reference: a new state a run, the heap already grown "
        "(processor seconds)\n");
    printf("%-12s %9s %9s\n", "program", "best", "median");
    for (const Program& p : programs) {
        if (p.failed || p.differs) continue;
        printf("%-12s %9.3f %9.3f\n", p.name.c_str(), p.inProcess.Best(), p.inProcess.Median());
    }
    return failures == 0 ? 0 : 1;
}
