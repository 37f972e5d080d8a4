// Messages in Lua. A message that reaches a script is a pointer userdata (lua_pushpointer) that
// holds the TMessage and carries the metatable kept in the registry under "bvMessageMetatable":
// scripts read its "type" (a number) and "name" (a string), nothing else, and the collector
// deletes the message through "__gc" once no script refers to it. From the moment it is pushed
// (PushLuaMessage) the message belongs to Lua.
//
// A message a script posts travels through the window manager's queue as a TLuaMessageWrapper: a
// TMessage with a copy of the Lua message's type, name and target that keeps the Lua value alive
// in the registry (TLuaMessage) while it exists. Window code that is offered a wrapper reads the
// message the script made through GetWrapped. Deleting a wrapper drops only its reference: the
// message it stands for is the collector's.
//
// Main thread only, like the state. A wrapper must go before its state is closed.
#pragma once

#include "script/luaobjectwrapper.h"
#include "ui/message.h"

struct lua_State;

// Keeps the value on top of the stack in the registry while it exists; see TLuaObjectWrapper.
class TLuaMessage : public TLuaObjectWrapper {
public:
    explicit TLuaMessage(lua_State* state) : TLuaObjectWrapper(state) {}
};

class TLuaMessageWrapper : public TMessage, public TLuaMessage {
public:
    // Takes the Lua message on top of the stack (popped) and copies its type, name and target. A
    // value that is no message leaves kGeneric, no name and no target.
    explicit TLuaMessageWrapper(lua_State* state);

    const char* GetClassName() const override { return "TLuaMessageWrapper"; }
    bool IsKindOf(TClassId id) const override { return id == TypeId() || TMessage::IsKindOf(id); }
    static TClassId TypeId() { return &SelfClassId<TLuaMessageWrapper>; }

    // The message the script made; null when the value held is no message.
    TMessage* GetWrapped() const;
    // Pushes the Lua value held (the script's own userdata).
    void PushLuaValue() const { PushObject(); }
};

// The message that window code is offered in place of the one given: the wrapped message of a
// wrapper (when it holds one), else the message itself.
TMessage* Unwrapped(TMessage* message);

// Makes registry["bvMessageMetatable"] with "__gc" and "__index".
void RegisterMessageMetatable(lua_State* L);
// Pushes the message as a Lua message; Lua owns it from now on.
void PushLuaMessage(lua_State* L, TMessage* message);
// The message at the index; null for nil and for any value that is no Lua message.
TMessage* GetLuaMessage(lua_State* L, int index);
