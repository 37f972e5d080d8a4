// luarun: runs Lua files with the program's Lua and the libraries built so far.
//
//   luarun FILE [ARGS...]   runs FILE; the global "arg" holds FILE at 0 and ARGS from 1
//   luarun --binary FILE [ARGS...]
//                           the same, but FILE is compiled, written as a binary chunk and
//                           loaded back from it before it runs
//   luarun --suite DIR      runs every *.lua file of DIR in a state of its own and reports
//                           "N passed, N failed"; the exit status is 1 when one failed
//
// The string and table libraries are open beside the base library. Files that scripts load
// (loadfile, dofile, require) go through the program's file layer: a real path is written
// "::" + path.
//
// A run fails when its file cannot be read (a folder, anything but a regular file, or a file
// past 2 GiB is refused) or compiled, or raises an error; the message goes to the standard error
// stream, or for a suite to its "FAIL" line, and a suite goes on with the next file.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "inputfile.h"
#include "script/lua/lib/auxlib.h"
#include "script/lua/lua.h"
#include "script/lua/lib/lualib.h"

namespace {

int AppendPiece(lua_State*, const void* p, size_t size, void* data) {
    static_cast<std::string*>(data)->append(static_cast<const char*>(p), size);
    return 1;
}

// Replaces the function on top with the one read back from its binary chunk.
int RoundTrip(lua_State* L, const std::string& chunkname) {
    std::string chunk;
    if (!lua_dump(L, AppendPiece, &chunk)) {
        lua_pushliteral(L, "cannot write a binary chunk");
        return 1;
    }
    lua_pop(L, 1);
    return luaL_loadbuffer(L, chunk.data(), chunk.size(), chunkname.c_str());
}

// Runs one file in a new state; answers the error message, empty on success.
std::string RunFile(const std::string& path, const std::vector<std::string>& args, bool binary) {
    std::string text;
    std::string error;
    if (!tools::ReadInputFile(path, tools::kLargestProgramFile, &text, &error)) return error;
    lua_State* L = lua_open();
    luaopen_base(L);
    luaopen_string(L);
    luaopen_table(L);
    lua_newtable(L);
    lua_pushstring(L, path.c_str());
    lua_rawseti(L, -2, 0);
    for (size_t i = 0; i < args.size(); i++) {
        lua_pushstring(L, args[i].c_str());
        lua_rawseti(L, -2, static_cast<int>(i + 1));
    }
    lua_pushliteral(L, "arg");
    lua_insert(L, -2);
    lua_settable(L, LUA_GLOBALSINDEX);
    std::string chunkname = "@" + path;
    int status = luaL_loadbuffer(L, text.data(), text.size(), chunkname.c_str());
    if (status == 0 && binary) status = RoundTrip(L, chunkname);
    if (status == 0) status = lua_pcall(L, 0, 0, 0);
    if (status != 0) {
        const char* msg = lua_tostring(L, -1);
        error = msg != nullptr ? msg : "(error object is not a string)";
    }
    lua_close(L);
    return error;
}

int RunSuite(const std::string& dir) {
    std::vector<std::string> files;
    std::error_code ec;
    // Stepped with error codes: the iterator's ++ throws when listing fails half-way.
    std::filesystem::directory_iterator it(dir, ec);
    for (; !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        if (it->path().extension() == ".lua") files.push_back(it->path().string());
    }
    if (ec) {
        fprintf(stderr, "luarun: cannot list %s: %s\n", dir.c_str(), ec.message().c_str());
        return 1;
    }
    std::sort(files.begin(), files.end());
    int passed = 0;
    int failed = 0;
    for (const std::string& file : files) {
        fflush(stdout);
        std::string error = RunFile(file, {}, false);
        fflush(stdout);
        if (error.empty()) {
            passed++;
            printf("PASS %s\n", file.c_str());
        } else {
            failed++;
            printf("FAIL %s: %s\n", file.c_str(), error.c_str());
        }
    }
    printf("%d passed, %d failed\n", passed, failed);
    return (failed == 0 && passed > 0) ? 0 : 1;
}

int Run(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--suite") return RunSuite(argv[2]);
    int first = 1;
    bool binary = argc > 2 && std::string(argv[1]) == "--binary";
    if (binary) first = 2;
    if (argc <= first || argv[first][0] == '-') {
        fprintf(stderr, "usage: luarun [--binary] FILE [ARGS...] | luarun --suite DIR\n");
        return 2;
    }
    std::string error =
        RunFile(argv[first], std::vector<std::string>(argv + first + 1, argv + argc), binary);
    if (!error.empty()) {
        fflush(stdout);
        fprintf(stderr, "luarun: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // What is left to throw is the library's own (memory, strings): one line, never an abort.
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        fflush(stdout);
        fprintf(stderr, "luarun: %s\n", e.what());
        return 1;
    }
}
