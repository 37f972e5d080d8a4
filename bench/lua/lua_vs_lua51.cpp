// bench_lua: runs each program of bench/lua/programs with the program's Lua (in this process)
// and with Debian's lua5.1 (a separate process, when installed; never linked), and prints the
// best time of each and their ratio. Both must print the same: each program ends by printing
// what it computed.
//
//   bench_lua [RUNS] [FILTER]   RUNS runs of each (default 3); only programs whose name holds
//                               FILTER
//
// A ratio below 1 means the program's Lua was faster. The times are processor time (user and
// system), which other work on the machine disturbs less than wall-clock time; the lua5.1 time
// includes starting its process (about a millisecond).
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "script/lua/lib/auxlib.h"
#include "script/lua/lua.h"
#include "script/lua/lib/lualib.h"

namespace {

double ProcessSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double ChildrenSeconds() {
    rusage usage;
    getrusage(RUSAGE_CHILDREN, &usage);
    auto seconds = [](const timeval& tv) {
        return static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) * 1e-6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// What the programs print, gathered instead of written.
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

// Runs the program once; answers the seconds taken, or a negative value on failure.
double RunOurs(const std::string& path, const std::string& text, std::string* output) {
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

double RunLua51(const std::string& path, std::string* output) {
    std::string command = "lua5.1 '" + path + "' 2>&1";
    double start = ChildrenSeconds();
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return -1;
    output->clear();
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output->append(buffer, n);
    int status = pclose(pipe);
    double seconds = ChildrenSeconds() - start;
    return status == 0 ? seconds : -1;
}

bool HaveLua51() {
    return system("command -v lua5.1 >/dev/null 2>&1") == 0;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    std::string filter = argc > 2 ? argv[2] : "";
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(UMBRAVA_LUA_BENCH_PROGRAMS)) {
        std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".lua" && name.find(filter) != std::string::npos) {
            files.push_back(entry.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    bool lua51 = HaveLua51();
    if (!lua51) printf("lua5.1 is not installed: only this program's Lua is timed\n");
    printf("%-12s %12s %12s %8s\n", "program", "ours (s)", "lua5.1 (s)", "ratio");
    int failures = 0;
    for (const std::string& path : files) {
        std::ifstream in(path, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        double ours = 1e30;
        double theirs = 1e30;
        std::string ourOutput;
        std::string theirOutput;
        bool failed = false;
        for (int i = 0; i < runs && !failed; i++) {
            double t = RunOurs(path, text, &ourOutput);
            failed = t < 0;
            ours = std::min(ours, t);
            if (lua51 && !failed) {
                t = RunLua51(path, &theirOutput);
                failed = t < 0;
                theirs = std::min(theirs, t);
            }
        }
        std::string name = std::filesystem::path(path).stem().string();
        if (failed) {
            printf("%-12s failed\n", name.c_str());
            failures++;
            continue;
        }
        if (!lua51) {
            printf("%-12s %12.3f %12s %8s\n", name.c_str(), ours, "-", "-");
            continue;
        }
        printf("%-12s %12.3f %12.3f %8.2f%s\n", name.c_str(), ours, theirs, ours / theirs,
               ourOutput == theirOutput ? "" : "  (the outputs differ)");
        if (ourOutput != theirOutput) failures++;
        fflush(stdout);
    }
    return failures == 0 ? 0 : 1;
}
