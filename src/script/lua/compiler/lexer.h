// The lexer: turns source text into tokens for the parser. Text is read one character at a
// time from the chunk's stream (bytes, or 16-bit units for a source marked wide); names are
// made of ASCII letters, digits and "_" only. Besides the language's tokens it knows
// "continue", "<<" and ">>", wide-string literals L"...", hexadecimal numerals "0x" and the
// "\x" escape.
//
// Errors are syntax errors "chunk:line: message near `token'", raised through the core's
// error machinery (status LUA_ERRSYNTAX).
//
// Threads: as the state that loads the chunk.
#pragma once

#include "script/lua/object.h"
#include "script/lua/compiler/zio.h"

constexpr int FIRST_RESERVED = 257;

// Token codes; single characters are their own code.
enum RESERVED {
    TK_AND = FIRST_RESERVED,
    TK_BREAK,
    TK_CONTINUE,
    TK_DO,
    TK_ELSE,
    TK_ELSEIF,
    TK_END,
    TK_FALSE,
    TK_FOR,
    TK_FUNCTION,
    TK_IF,
    TK_IN,
    TK_LOCAL,
    TK_NIL,
    TK_NOT,
    TK_OR,
    TK_REPEAT,
    TK_RETURN,
    TK_THEN,
    TK_TRUE,
    TK_UNTIL,
    TK_WHILE,
    TK_NAME,
    TK_CONCAT,
    TK_DOTS,
    TK_EQ,
    TK_GE,
    TK_LE,
    TK_NE,
    TK_NUMBER,
    TK_STRING,
    TK_WSTRING,
    TK_SHL,
    TK_SHR,
    TK_EOS
};

constexpr int NUM_RESERVED = TK_WHILE - FIRST_RESERVED + 1;

union SemInfo {
    lua_Number r;
    TString* ts;  // names, strings and wide strings
};

struct Token {
    int token;
    SemInfo seminfo;
};

struct FuncState;

struct LexState {
    int current;  // the character being looked at
    int linenumber;
    int lastline;  // line of the last token taken
    Token t;       // the current token
    Token lookahead;
    FuncState* fs;  // the function being compiled
    lua_State* L;
    Zio* z;
    ZBuffer* buff;   // text of the token being read, as bytes
    ZBuffer* wbuff;  // units of a wide-string literal
    TString* source;
    int nestlevel;  // syntax levels, bounded against deep recursion
};

// Interns the reserved words and marks them; called when a state is made.
void luaX_init(lua_State* L);
void luaX_setinput(lua_State* L, LexState* ls, Zio* z, TString* source);
// Takes the next token (the looked-ahead one when there is one).
void luaX_next(LexState* ls);
// Reads the token after the current one into ls->lookahead.
void luaX_lookahead(LexState* ls);
int luaX_lex(LexState* ls, SemInfo* seminfo);

[[noreturn]] void luaX_syntaxerror(LexState* ls, const char* msg);
// Raises "too many <what> (limit=<limit>)" when val passes limit.
void luaX_checklimit(LexState* ls, int val, int limit, const char* what);
// The text a token stands for in messages.
const char* luaX_token2str(LexState* ls, int token);
